// PairContraction: the record of one contraction of `removedVertex` into `keptVertex`. The model fills
// it (Model::prepareContraction) in the state just before the contraction; it then holds all that
// contract() and uncontract() need to move the model forwards and back. Records are values.
#pragma once

#include "OrderedSet.h"
#include "SmallVector.h"
#include "Types.h"

namespace gdx {

struct WedgePair {
    uint32_t kept;
    uint32_t removed;
};
inline bool operator<(const WedgePair& l, const WedgePair& r) {
    return l.kept < r.kept || (l.kept == r.kept && l.removed < r.removed);
}
inline bool operator==(const WedgePair& l, const WedgePair& r) {
    return l.kept == r.kept && l.removed == r.removed;
}

struct PairContraction {
    uint32_t keptVertex = INVALID_INDEX;
    uint32_t removedVertex = INVALID_INDEX;
    FloatVector displacement;
    // Active faces using both vertices; they are removed.
    SmallVector<uint32_t, 2> removedFaces;
    // Active faces using exactly one vertex: those of keptVertex, then from firstRemovedSideFace on
    // those of removedVertex.
    SmallVector<uint32_t, 8> changedFaces;
    uint32_t firstRemovedSideFace = 0;
    // For each kept-side wedge used in a removed face, the removed-side wedge it merges with.
    OrderedSet<WedgePair, 2> wedgePairs;
    // Wedges used by changed faces and by no removed face: keptVertex's ascending, then from
    // firstRemovedSideWedge on removedVertex's ascending.
    SmallVector<uint32_t, 4> freeWedges;
    uint32_t firstRemovedSideWedge = 0;
};

} // namespace gdx

namespace gdx {
// Field-by-field equality (arrays and sets compared in order).
bool operator==(const PairContraction& l, const PairContraction& r);
inline bool operator!=(const PairContraction& l, const PairContraction& r) {
    return !(l == r);
}
} // namespace gdx
