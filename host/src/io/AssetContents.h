// AssetContents: what a mesh file holds besides polygons, counted through Assimp, so that a writer
// that cannot keep something can say so instead of dropping it silently.
#pragma once

#include <string>
#include <vector>

namespace gxhost {

struct AssetContents {
    size_t textureRefs = 0;       // texture slots of materials (any type)
    size_t embeddedTextures = 0;
    size_t skinnedMeshes = 0;     // mesh parts with bones
    size_t morphedMeshes = 0;     // mesh parts with morph targets
    size_t animations = 0;
    size_t cameras = 0;
    size_t lights = 0;
    size_t emptyNodes = 0;        // nodes below the root without meshes (groups, joints, cameras …)
};

// Counts `path`'s contents; false with `error` when Assimp cannot read it.
bool readAssetContents(const std::string& path, AssetContents& contents, std::string& error);

// One line per kind of content that a writer keeping only meshes, their attributes, material names
// and (unless `flattens`) the mesh hierarchy leaves out; `what` names the output ("x.obj").
std::vector<std::string> describeLosses(const AssetContents& contents, const std::string& what, bool flattens);

} // namespace gxhost
