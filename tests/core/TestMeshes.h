// Small meshes for the core tests, built through the model's public building order.
#pragma once

#include "Model.h"
#include "QSlim.h"

#include <array>
#include <memory>
#include <set>
#include <vector>

namespace gdx::test {

// One triangle corner's attributes.
struct Corner {
    DoubleVector normal{0.0, 0.0, 1.0};
    Color color{1.0f, 1.0f, 1.0f, 1.0f};
    FloatArray uvs{0.0f, 0.0f}; // one (u, v) pair per UV set
};

struct Triangle {
    std::array<uint32_t, 3> v;
    std::array<Corner, 3> c;
};

struct MeshSource {
    std::vector<FloatPoint> points;
    std::vector<Triangle> triangles;
    uint32_t uvSets = 1;
};

// Builds a model: positions, UV sets, a wedge per corner, linked faces, then the wedge split.
std::unique_ptr<Model> buildModel(const MeshSource& source);

// A closed torus of 2 * rings * segments faces with smooth normals and continuous UVs except for
// the seam where the parameterisation wraps around.
MeshSource torus(uint32_t rings, uint32_t segments);

// An open n x n grid (2 n^2 faces) split into two UV islands down the middle, with a second
// 4 x 4 grid attached to the first only at one corner vertex (a non-manifold vertex), a hard
// normal crease along one row and a colour border along one column. Two UV sets.
MeshSource seamedGridWithBowtie(uint32_t n);

// Expects equal models: every face's vertices, wedges and state, every vertex's state and (sorted) face
// list, and positions within `positionTolerance`.
void expectSameModel(const Model& a, const Model& b, float positionTolerance);

// The engine's queued pairs as (first, second).
std::set<std::pair<uint32_t, uint32_t>> queuedPairs(const QSlim& q);

} // namespace gdx::test

namespace gdx::test {
// A flat grid of nx x ny quads in the plane z = 0, unit spacing, two triangles per quad; every
// corner gets the UV `uv(quadX, quadY, x, y)` (first set only).
template <typename UV> MeshSource flatGrid(uint32_t nx, uint32_t ny, UV uv) {
    MeshSource m;
    const uint32_t row = nx + 1;
    for (uint32_t y = 0; y <= ny; ++y)
        for (uint32_t x = 0; x <= nx; ++x)
            m.points.push_back(FloatPoint{float(x), float(y), 0.0f, 1.0f});
    auto corner = [&](uint32_t qx, uint32_t qy, uint32_t x, uint32_t y) {
        Corner c;
        c.uvs = uv(qx, qy, x, y);
        return c;
    };
    for (uint32_t y = 0; y < ny; ++y)
        for (uint32_t x = 0; x < nx; ++x) {
            const uint32_t a = y * row + x, b = a + 1, c = a + row, d = c + 1;
            m.triangles.push_back(
                {{a, b, d}, {corner(x, y, x, y), corner(x, y, x + 1, y), corner(x, y, x + 1, y + 1)}});
            m.triangles.push_back(
                {{a, d, c}, {corner(x, y, x, y), corner(x, y, x + 1, y + 1), corner(x, y, x, y + 1)}});
        }
    return m;
}

inline FloatArray continuousUV(uint32_t, uint32_t, uint32_t x, uint32_t y) {
    return {0.1f * float(x), 0.1f * float(y)};
}
} // namespace gdx::test
