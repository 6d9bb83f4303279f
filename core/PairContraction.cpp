#include "PairContraction.h"

namespace gdx {

namespace {
template <typename A> bool sameItems(const A& l, const A& r) {
    if (l.size() != r.size())
        return false;
    for (uint32_t i = 0; i < l.size(); ++i)
        if (!(l[i] == r[i]))
            return false;
    return true;
}
} // namespace

bool operator==(const PairContraction& l, const PairContraction& r) {
    return l.keptVertex == r.keptVertex && l.removedVertex == r.removedVertex &&
           l.displacement.x == r.displacement.x && l.displacement.y == r.displacement.y &&
           l.displacement.z == r.displacement.z && sameItems(l.removedFaces, r.removedFaces) &&
           sameItems(l.changedFaces, r.changedFaces) && l.firstRemovedSideFace == r.firstRemovedSideFace &&
           sameItems(l.wedgePairs, r.wedgePairs) && sameItems(l.freeWedges, r.freeWedges) &&
           l.firstRemovedSideWedge == r.firstRemovedSideWedge;
}

} // namespace gdx
