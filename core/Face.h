// Face: one triangle of the core model, as three vertex indices in winding order and the wedge
// (attribute slot) used at each corner. wedge[i] belongs to vertex[i].
#pragma once

#include <cstdint>

namespace gdx {

struct Face {
    uint32_t vertices[3];
    uint32_t wedges[3];

    uint32_t vertex(uint32_t i) const { return vertices[i]; }
    void setVertex(uint32_t i, uint32_t v) { vertices[i] = v; }
    uint32_t wedge(uint32_t i) const { return wedges[i]; }
    void setWedge(uint32_t i, uint32_t w) { wedges[i] = w; }

    uint32_t replaceVertex(uint32_t from, uint32_t to) { return replace(vertices, from, to); }
    uint32_t replaceWedge(uint32_t from, uint32_t to) { return replace(wedges, from, to); }

    // The corner of v; 2 also when v is not in the face.
    uint32_t cornerOf(uint32_t v) const { return vertices[0] == v ? 0 : (vertices[1] == v ? 1 : 2); }
    // For an edge (v, u) of the face, the corner opposite that edge.
    uint32_t thirdCorner(uint32_t v, uint32_t u) const {
        const uint32_t i = cornerOf(v);
        const uint32_t next = (i + 1) % 3;
        return vertices[next] != u ? next : (i + 2) % 3;
    }
    bool hasVertex(uint32_t v) const { return vertices[0] == v || vertices[1] == v || vertices[2] == v; }
    bool hasWedge(uint32_t w) const { return wedges[0] == w || wedges[1] == w || wedges[2] == w; }

private:
    static uint32_t replace(uint32_t* slots, uint32_t from, uint32_t to) {
        uint32_t n = 0;
        for (int i = 0; i < 3; ++i)
            if (slots[i] == from) {
                slots[i] = to;
                ++n;
            }
        return n;
    }
};

} // namespace gdx
