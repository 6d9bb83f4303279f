// materialNameOf: the name by which the mesh importer knows a material of an Assimp scene, so that
// the exporter can find a written material's source again. Empty for "no material": Assimp's
// stand-in for faces without one (and, in glTF, its unnamed stand-in for primitives without one).
// A nameless material of another format is "material<index>".
#pragma once

#include <string>

struct aiScene;

namespace gxhost {

std::string materialNameOf(const aiScene& scene, unsigned index, bool gltf);

} // namespace gxhost
