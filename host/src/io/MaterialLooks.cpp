#include "io/MaterialLooks.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

namespace gxhost {
namespace {

namespace fs = std::filesystem;

struct StbFree {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

bool takePixels(unsigned char* decoded, int width, int height, MaterialLook& look) {
    std::unique_ptr<unsigned char, StbFree> pixels(decoded);
    if (!pixels || width <= 0 || height <= 0)
        return false;
    look.textureWidth = width;
    look.textureHeight = height;
    look.texture.assign(pixels.get(), pixels.get() + static_cast<size_t>(width) * height * 4);
    return true;
}

// An embedded texture: compressed bytes (mHeight == 0) or raw BGRA texels.
bool decodeEmbedded(const aiTexture& texture, MaterialLook& look) {
    int width = 0, height = 0, channels = 0;
    if (texture.mHeight == 0) {
        unsigned char* decoded =
            stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(texture.pcData),
                                  static_cast<int>(texture.mWidth), &width, &height, &channels, 4);
        return takePixels(decoded, width, height, look);
    }
    look.textureWidth = static_cast<int>(texture.mWidth);
    look.textureHeight = static_cast<int>(texture.mHeight);
    look.texture.clear();
    for (size_t i = 0; i < static_cast<size_t>(texture.mWidth) * texture.mHeight; ++i) {
        const aiTexel& t = texture.pcData[i];
        look.texture.insert(look.texture.end(), {t.r, t.g, t.b, t.a});
    }
    return true;
}

// A texture file named by the material: as written, beside the mesh file, or by its bare name there
// (files moved from another machine keep absolute or Windows paths).
bool decodeFile(const std::string& written, const fs::path& folder, MaterialLook& look) {
    std::string name = written;
    std::replace(name.begin(), name.end(), '\\', '/');
    for (const fs::path& candidate : {fs::path(name), folder / name, folder / fs::path(name).filename()}) {
        std::error_code code;
        if (!fs::is_regular_file(candidate, code))
            continue;
        int width = 0, height = 0, channels = 0;
        unsigned char* decoded = stbi_load(candidate.string().c_str(), &width, &height, &channels, 4);
        if (takePixels(decoded, width, height, look))
            return true;
    }
    return false;
}

} // namespace

bool readMaterialLooks(const std::string& path, std::vector<MaterialLook>& looks,
                       std::vector<std::string>& warnings, std::string& error) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    if (!scene) {
        error = path + ": " + importer.GetErrorString();
        return false;
    }
    looks.clear();
    const fs::path folder = fs::path(path).parent_path();
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial& material = *scene->mMaterials[i];
        MaterialLook look;
        aiString raw;
        material.Get(AI_MATKEY_NAME, raw);
        look.name = raw.length ? raw.C_Str() : "material" + std::to_string(i);
        aiColor4D color;
        if (material.Get(AI_MATKEY_BASE_COLOR, color) == AI_SUCCESS ||
            material.Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS)
            look.baseColor = {color.r, color.g, color.b};
        for (aiTextureType type : {aiTextureType_BASE_COLOR, aiTextureType_DIFFUSE}) {
            aiString file;
            if (material.GetTextureCount(type) == 0 || material.GetTexture(type, 0, &file) != AI_SUCCESS)
                continue;
            int channel = 0;
            if (material.Get(AI_MATKEY_UVWSRC(type, 0), channel) == AI_SUCCESS)
                look.uvSet = std::max(channel, 0);
            const aiTexture* embedded = scene->GetEmbeddedTexture(file.C_Str());
            const bool decoded =
                embedded ? decodeEmbedded(*embedded, look) : decodeFile(file.C_Str(), folder, look);
            if (!decoded)
                warnings.push_back(path + ": material '" + look.name + "': cannot read its texture '" +
                                   file.C_Str() + "'; drawn in its base colour");
            break;
        }
        looks.push_back(std::move(look));
    }
    return true;
}

} // namespace gxhost
