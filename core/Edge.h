// Edge: one candidate vertex pair of the engine, with the position it would contract to, its quadric
// error and its weight; cost() = weight * error orders the queue. The engine keeps its edges in one
// pool and refers to them by index from the queue and from both vertices' pair lists; heapIndex is
// the edge's position in the queue (NOT_IN_HEAP if none).
#pragma once

#include "Types.h"

namespace gdx {

constexpr uint32_t NOT_IN_HEAP = INVALID_INDEX;

class Edge {
public:
    Edge() = default;
    Edge(uint32_t a, uint32_t b) { setVertices(a, b); }

    void setVertices(uint32_t a, uint32_t b) {
        first = a < b ? a : b;
        second = a < b ? b : a;
    }
    void setError(float e) { error = e; }
    void setWeight(float w) { weight = w; }
    float cost() const { return weight * error; }
    uint32_t opposite(uint32_t v) const { return v == first ? second : first; }

    uint32_t heapIndex = NOT_IN_HEAP;
    FloatVector target{0.0f, 0.0f, 0.0f};
    float error = 0.0f;
    float weight = 1.0f;
    uint32_t first = 0;
    uint32_t second = 0;
};

// The queue order: lower cost first; equal costs by (first, second).
bool edgeLess(const Edge& x, const Edge& y);

} // namespace gdx
