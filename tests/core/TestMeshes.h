// Small meshes for the core tests, built through the model's public building order.
#pragma once

#include "Model.h"

#include <array>
#include <memory>
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

} // namespace gdx::test
