#include "MaterialNames.h"

#include <assimp/material.h>
#include <assimp/scene.h>

namespace gxhost {

std::string materialNameOf(const aiScene& scene, unsigned index, bool gltf) {
    if (!scene.mMaterials || index >= scene.mNumMaterials || !scene.mMaterials[index])
        return {};
    aiString raw;
    scene.mMaterials[index]->Get(AI_MATKEY_NAME, raw);
    const std::string name = raw.C_Str();
    if (name == AI_DEFAULT_MATERIAL_NAME || (gltf && name.empty()))
        return {};
    return name.empty() ? "material" + std::to_string(index) : name;
}

} // namespace gxhost
