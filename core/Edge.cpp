#include "Edge.h"

namespace gdx {

bool edgeLess(const Edge& x, const Edge& y) {
    const float cx = x.cost(), cy = y.cost();
    if (cx != cy)
        return cx < cy;
    return x.first < y.first || (x.first == y.first && x.second < y.second);
}

} // namespace gdx
