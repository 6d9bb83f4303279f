// SceneMesh: a polygon mesh as the host's mesh files and mesh nodes exchange it. Welded vertices,
// polygons of any size, and every per-corner attribute kept per face-vertex (UV sets, normals,
// colours), so attribute seams are seams in one connected surface rather than holes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

struct SceneUVSet {
    std::string name;        // the first set is "map1"
    std::vector<float> u, v; // the set's UV values
    // Per face-vertex (in the order of SceneMesh::faceVertices) an index into u/v, or -1 where the
    // face has no UV in this set.
    std::vector<int32_t> uvIds;
};

struct SceneMesh {
    std::string name; // node name, unique within a scene
    std::array<double, 16> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; // row-major, to parent
    std::string parent; // name of the parent transform, empty at the root

    std::vector<std::array<float, 3>> points; // welded vertex positions
    std::vector<int32_t> faceCounts;          // corners per polygon
    std::vector<int32_t> faceVertices;        // point index per face-vertex, polygons back to back

    std::vector<SceneUVSet> uvSets;
    // Per face-vertex normals and colours; empty when the mesh has none. A colour with
    // hasColor[i] == 0 is absent at that face-vertex.
    std::vector<std::array<float, 3>> normals;
    std::vector<std::array<float, 4>> colors;
    std::vector<uint8_t> hasColor;

    // Per face, an index into materials (the shading groups), or -1.
    std::vector<int32_t> faceMaterial;
    std::vector<std::string> materials;

    // Where the mesh came from in its file, for writers that rewrite the file itself: the node as
    // child positions from the file's root (for glTF: into the scene's root nodes when there are
    // several, else from the one root node), and per entry of `materials` the position among the
    // node's mesh parts (for glTF, the primitive) that first used it. Empty when not read from a file.
    std::vector<uint32_t> fileNode;
    std::vector<int32_t> fileMaterials;

    // The name of an earlier mesh of the same scene whose geometry and materials this one shares
    // (the file instances one mesh on several nodes); empty when the geometry is its own. The
    // geometry is then equal to that mesh's, and writers that can instance write it once.
    std::string instanceOf;
};

} // namespace gxhost
