// buildMeshPart: the faces of one material of a SceneMesh as an Assimp mesh, whose vertices carry
// one value per attribute. A point becomes as many vertices as it has distinct corner attribute
// combinations (normal, colour, UV of every set) among those faces, and no more.
//
// A set in which some corners have no UV gets (0, 0) there; the set is left out of the part when
// none of its corners, nor of any later set, has a UV. Likewise a corner without a colour is written
// white when others in the part have colours. The mesh must have passed validateSceneMesh.
#pragma once

#include "SceneMesh.h"

#include <cstdint>
#include <memory>
#include <vector>

struct aiMesh;

namespace gxhost {

// `faces` are face indices of `mesh`, `faceStart` the first face-vertex of every face.
std::unique_ptr<aiMesh> buildMeshPart(const SceneMesh& mesh, const std::vector<int32_t>& faces,
                                      const std::vector<size_t>& faceStart, unsigned materialIndex);

} // namespace gxhost
