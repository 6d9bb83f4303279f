// AssetContents: what a mesh file holds besides polygons, counted through Assimp, so that a writer
// that cannot keep something can say so instead of dropping it silently. SourceAsset keeps the file
// as Assimp read it, for a writer that carries its materials and embedded images into another format;
// keep() takes those from a scene the importer has just read instead of reading the file again.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct aiScene;

namespace gxhost {

struct AssetContents {
    size_t textureRefs = 0; // texture slots of materials (any type)
    size_t embeddedTextures = 0;
    size_t skinnedMeshes = 0; // mesh parts with bones
    size_t morphedMeshes = 0; // mesh parts with morph targets
    size_t animations = 0;
    size_t cameras = 0;
    size_t lights = 0;
    size_t emptyNodes = 0; // nodes below the root without meshes (groups, joints, cameras …)
};

class SourceAsset {
public:
    SourceAsset();
    ~SourceAsset();
    // Keeps `scene`'s contents, materials and embedded images (copies; not its meshes).
    void keep(const aiScene& scene);
    // Takes contents counted and a scene of materials and embedded images kept elsewhere (by the
    // import's child process).
    void adopt(const AssetContents& contents, std::unique_ptr<aiScene> kept);
    // The kept materials and embedded images (null before keep or adopt).
    const aiScene* scene() const { return kept_.get(); }
    const AssetContents& contents() const { return contents_; }

private:
    std::unique_ptr<aiScene> kept_;
    AssetContents contents_;
};

// What a writer keeps of an asset besides meshes, their attributes and the meshes' hierarchy (nodes
// without a mesh are never written).
struct WriterKeeps {
    bool textures = false; // material parameters and texture references
    bool embedded = false; // embedded images
};

// One line per kind of content that a writer keeping `keeps` leaves out; `what` names the output ("x.obj").
std::vector<std::string> describeLosses(const AssetContents& contents, const std::string& what,
                                        const WriterKeeps& keeps);

} // namespace gxhost
