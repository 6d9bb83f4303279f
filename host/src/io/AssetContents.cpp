#include "AssetContents.h"

#include <assimp/SceneCombiner.h>
#include <assimp/material.h>
#include <assimp/scene.h>

namespace gxhost {
namespace {

size_t countEmptyNodes(const aiNode& node, bool root) {
    size_t count = !root && node.mNumMeshes == 0 ? 1 : 0;
    for (unsigned c = 0; c < node.mNumChildren; ++c)
        if (node.mChildren[c])
            count += countEmptyNodes(*node.mChildren[c], false);
    return count;
}

std::string counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

AssetContents contentsOf(const aiScene& scene) {
    AssetContents contents;
    for (unsigned m = 0; m < scene.mNumMaterials; ++m)
        for (int type = aiTextureType_DIFFUSE; type <= aiTextureType_TRANSMISSION; ++type)
            contents.textureRefs += scene.mMaterials[m]->GetTextureCount(static_cast<aiTextureType>(type));
    contents.embeddedTextures = scene.mNumTextures;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        contents.skinnedMeshes += scene.mMeshes[m]->mNumBones > 0;
        contents.morphedMeshes += scene.mMeshes[m]->mNumAnimMeshes > 0;
    }
    contents.animations = scene.mNumAnimations;
    contents.cameras = scene.mNumCameras;
    contents.lights = scene.mNumLights;
    contents.emptyNodes = scene.mRootNode ? countEmptyNodes(*scene.mRootNode, true) : 0;
    return contents;
}

} // namespace

SourceAsset::SourceAsset() = default;
SourceAsset::~SourceAsset() = default;

void SourceAsset::keep(const aiScene& scene) {
    contents_ = contentsOf(scene);
    kept_ = std::make_unique<aiScene>();
    if (scene.mNumMaterials > 0) {
        kept_->mMaterials = new aiMaterial*[scene.mNumMaterials];
        for (; kept_->mNumMaterials < scene.mNumMaterials; ++kept_->mNumMaterials)
            Assimp::SceneCombiner::Copy(&kept_->mMaterials[kept_->mNumMaterials],
                                        scene.mMaterials[kept_->mNumMaterials]);
    }
    if (scene.mNumTextures > 0) {
        kept_->mTextures = new aiTexture*[scene.mNumTextures];
        for (; kept_->mNumTextures < scene.mNumTextures; ++kept_->mNumTextures)
            Assimp::SceneCombiner::Copy(&kept_->mTextures[kept_->mNumTextures],
                                        scene.mTextures[kept_->mNumTextures]);
    }
}

void SourceAsset::adopt(const AssetContents& contents, std::unique_ptr<aiScene> kept) {
    contents_ = contents;
    kept_ = std::move(kept);
}

std::vector<std::string> describeLosses(const AssetContents& c, const std::string& what,
                                        const WriterKeeps& keeps) {
    std::vector<std::string> lines;
    auto add = [&](size_t n, const std::string& text) {
        if (n > 0)
            lines.push_back(what + ": " + text + " not written (not kept by this output format)");
    };
    add(keeps.textures ? 0 : c.textureRefs,
        counted(c.textureRefs, "texture reference", "texture references") + " of the materials");
    add(keeps.embedded ? 0 : c.embeddedTextures,
        counted(c.embeddedTextures, "embedded image", "embedded images"));
    add(c.skinnedMeshes, "the skin of " + counted(c.skinnedMeshes, "mesh part", "mesh parts"));
    add(c.morphedMeshes, "the morph targets of " + counted(c.morphedMeshes, "mesh part", "mesh parts"));
    add(c.animations, counted(c.animations, "animation", "animations"));
    add(c.cameras, counted(c.cameras, "camera", "cameras"));
    add(c.lights, counted(c.lights, "light", "lights"));
    add(c.emptyNodes, counted(c.emptyNodes, "node", "nodes") + " without a mesh");
    return lines;
}

} // namespace gxhost
