// MeshInfo: what `gradix info` tells about a mesh: its size, its attributes, where it lies and how
// clean its surface is (open borders, edges shared by more than two faces).
#pragma once

#include "SceneMesh.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

struct MeshInfo {
    std::string name;
    uint64_t vertices = 0, faces = 0, triangles = 0;
    std::vector<std::string> uvSets;
    bool normals = false, colors = false;
    std::vector<std::string> materials; // those some face uses, in the mesh's order
    std::array<double, 3> boundsMin{0, 0, 0}, boundsMax{0, 0, 0};
    uint64_t boundaryEdges = 0;    // edges used by exactly one face
    uint64_t nonManifoldEdges = 0; // edges used by three faces or more

    static MeshInfo of(const gxhost::SceneMesh& mesh);
};

// The triangles a mesh's polygons make (a polygon of k corners, k - 2).
uint64_t polygonTriangles(const gxhost::SceneMesh& mesh);

} // namespace gradix
