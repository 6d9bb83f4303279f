// Inline helpers of QSlim.
#pragma once

#include <algorithm>

namespace gdx {

inline bool contains(const IndexArray& list, uint32_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}

inline FloatVector toVector(const FloatPoint& p) {
    return FloatVector{p.x, p.y, p.z};
}

} // namespace gdx
