// weldMeshParts: turns the Assimp meshes of one file node (one per material, as most readers split
// them) into one SceneMesh with welded points and per face-vertex attributes.
//
//   for each part, each polygon (>= 3 corners; points and lines are skipped):
//     corner -> point: first use of an exact position gets the next point number
//     drop repeated corners; skip the polygon if fewer than 3 distinct points remain
//     append normal, colour, and per UV channel the id of (point, u, v) — equal UVs at one point
//       share an id
//
// UV channel k of every part becomes UV set k, named by the file or "map<k+1>"; a part without that
// channel leaves its faces without UVs in the set. Normals are kept when every part has them. The
// first colour channel becomes the face-vertex colours.
#pragma once

#include "SceneMesh.h"

#include <cstdint>
#include <string>
#include <vector>

struct aiMesh;

namespace gxhost {

struct MeshPart {
    const aiMesh* mesh;
    int32_t material; // index into the SceneMesh's materials, or -1
};

// Fills `out`'s geometry and attributes from `parts` (its name, transform and materials are left
// alone). Returns false with `problem` set when a part holds an index out of range, a non-finite
// value, or when no usable polygon remains.
bool weldMeshParts(const std::vector<MeshPart>& parts, SceneMesh& out, std::string& problem);

} // namespace gxhost
