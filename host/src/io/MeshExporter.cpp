#include "MeshExporter.h"

#include "AssetContents.h"
#include "AssimpFbxFixup.h"
#include "ExportFormat.h"
#include "MaterialNames.h"
#include "MeshPartBuilder.h"
#include "PlyBinary.h"
#include "SceneMeshValidator.h"
#include "TempFileIOSystem.h"

#include <assimp/Exporter.hpp>
#include <assimp/SceneCombiner.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <exception>
#include <fstream>
#include <map>
#include <memory>

namespace gxhost {
namespace {

bool checkMeshes(const std::vector<SceneMesh>& meshes, std::string& problem) {
    if (meshes.empty()) {
        problem = "no mesh to write";
        return false;
    }
    std::map<std::string, size_t> indexOfName;
    for (size_t i = 0; i < meshes.size(); ++i) {
        const SceneMesh& mesh = meshes[i];
        if (mesh.name.empty()) {
            problem = "mesh " + std::to_string(i) + " has no name";
            return false;
        }
        if (!indexOfName.emplace(mesh.name, i).second) {
            problem = "two meshes are named '" + mesh.name + "'";
            return false;
        }
        if (!validateSceneMesh(mesh, problem)) {
            problem = "mesh '" + mesh.name + "': " + problem;
            return false;
        }
    }
    // Parents must not form a loop; a parent that is not written places the mesh at the root.
    for (const SceneMesh& mesh : meshes) {
        std::string parent = mesh.parent;
        for (size_t steps = 0; !parent.empty(); ++steps) {
            auto found = indexOfName.find(parent);
            if (found == indexOfName.end()) {
                break;
            }
            if (steps > meshes.size()) {
                problem = "mesh '" + mesh.name + "' is its own ancestor";
                return false;
            }
            parent = meshes[found->second].parent;
        }
    }
    return true;
}

aiMatrix4x4 fromRowMajor(const std::array<double, 16>& t) {
    return aiMatrix4x4(static_cast<ai_real>(t[0]), static_cast<ai_real>(t[1]), static_cast<ai_real>(t[2]),
                       static_cast<ai_real>(t[3]), static_cast<ai_real>(t[4]), static_cast<ai_real>(t[5]),
                       static_cast<ai_real>(t[6]), static_cast<ai_real>(t[7]), static_cast<ai_real>(t[8]),
                       static_cast<ai_real>(t[9]), static_cast<ai_real>(t[10]), static_cast<ai_real>(t[11]),
                       static_cast<ai_real>(t[12]), static_cast<ai_real>(t[13]), static_cast<ai_real>(t[14]),
                       static_cast<ai_real>(t[15]));
}

// Builds the aiScene: one material per distinct name (plus Assimp's default one for faces without a
// material), one node per mesh under its parent's node, one aiMesh per material used by a mesh
// (an instance of an earlier mesh uses that mesh's, when the writer keeps instances).
class SceneBuilder {
public:
    explicit SceneBuilder(bool instances) : instances_(instances) {}

    std::unique_ptr<aiScene> build(const std::vector<SceneMesh>& meshes) {
        for (const SceneMesh& mesh : meshes) {
            addMesh(mesh);
        }
        auto scene = std::make_unique<aiScene>();
        std::map<std::string, size_t> indexOfName;
        for (size_t i = 0; i < meshes.size(); ++i) {
            nodes_[i]->mTransformation = fromRowMajor(meshes[i].transform);
            indexOfName[meshes[i].name] = i;
        }
        // Some writers store the root as a node; its name must not be taken for a mesh's.
        std::string rootName = "root";
        for (int n = 1; indexOfName.count(rootName); ++n) {
            rootName = "root" + std::to_string(n);
        }
        scene->mRootNode = new aiNode(rootName);
        // Children in mesh order under each parent; the last list is the root's.
        std::vector<std::vector<aiNode*>> children(meshes.size() + 1);
        for (size_t i = 0; i < meshes.size(); ++i) {
            auto parent = indexOfName.find(meshes[i].parent);
            children[parent == indexOfName.end() ? meshes.size() : parent->second].push_back(nodes_[i]);
        }
        for (size_t p = 0; p < children.size(); ++p) {
            aiNode* parent = p < meshes.size() ? nodes_[p] : scene->mRootNode;
            if (!children[p].empty()) {
                parent->addChildren(static_cast<unsigned>(children[p].size()), children[p].data());
            }
        }
        nodes_.clear(); // owned by the tree now

        scene->mNumMeshes = static_cast<unsigned>(parts_.size());
        scene->mMeshes = new aiMesh*[parts_.size()];
        for (size_t i = 0; i < parts_.size(); ++i) {
            scene->mMeshes[i] = parts_[i].release();
        }
        scene->mNumMaterials = static_cast<unsigned>(materialNames_.size());
        scene->mMaterials = new aiMaterial*[materialNames_.size()];
        for (size_t i = 0; i < materialNames_.size(); ++i) {
            scene->mMaterials[i] = new aiMaterial();
            const aiString name(materialNames_[i]);
            scene->mMaterials[i]->AddProperty(&name, AI_MATKEY_NAME);
        }
        return scene;
    }

    ~SceneBuilder() {
        for (aiNode* node : nodes_) {
            delete node;
        }
    }

private:
    unsigned materialIndex(const SceneMesh& mesh, int32_t material) {
        const std::string name =
            material >= 0 ? mesh.materials[material] : std::string(AI_DEFAULT_MATERIAL_NAME);
        for (size_t i = 0; i < materialNames_.size(); ++i) {
            if (materialNames_[i] == name) {
                return static_cast<unsigned>(i);
            }
        }
        materialNames_.push_back(name);
        return static_cast<unsigned>(materialNames_.size() - 1);
    }

    void addMesh(const SceneMesh& mesh) {
        std::vector<size_t> faceStart(mesh.faceCounts.size());
        size_t corner = 0;
        for (size_t f = 0; f < mesh.faceCounts.size(); ++f) {
            faceStart[f] = corner;
            corner += static_cast<size_t>(mesh.faceCounts[f]);
        }
        // Faces grouped by material in order of first use: (-1 or material) -> faces.
        std::vector<std::pair<int32_t, std::vector<int32_t>>> groups;
        for (size_t f = 0; f < mesh.faceCounts.size(); ++f) {
            const int32_t material = mesh.faceMaterial.empty() ? -1 : mesh.faceMaterial[f];
            auto group = groups.begin();
            while (group != groups.end() && group->first != material) {
                ++group;
            }
            if (group == groups.end()) {
                groups.push_back({material, {}});
                group = groups.end() - 1;
            }
            group->second.push_back(static_cast<int32_t>(f));
        }
        aiNode* node = new aiNode(mesh.name);
        nodes_.push_back(node);
        // An instance refers to the parts of the mesh it shares its geometry with.
        const auto shared =
            mesh.instanceOf.empty() || !instances_ ? partsOf_.end() : partsOf_.find(mesh.instanceOf);
        std::vector<unsigned> parts;
        if (shared != partsOf_.end()) {
            parts = shared->second;
        } else {
            for (size_t g = 0; g < groups.size(); ++g) {
                parts.push_back(static_cast<unsigned>(parts_.size()));
                parts_.push_back(
                    buildMeshPart(mesh, groups[g].second, faceStart, materialIndex(mesh, groups[g].first)));
            }
            partsOf_.emplace(mesh.name, parts);
        }
        node->mNumMeshes = static_cast<unsigned>(parts.size());
        node->mMeshes = new unsigned[parts.size()];
        std::copy(parts.begin(), parts.end(), node->mMeshes);
    }

    std::vector<std::unique_ptr<aiMesh>> parts_;
    std::vector<std::string> materialNames_;
    std::vector<aiNode*> nodes_;
    bool instances_;
    std::map<std::string, std::vector<unsigned>> partsOf_; // mesh name -> its aiMesh indices
};

// Assimp 5.2 runs its vertex join before the glTF writers, and that join compares positions,
// normals, tangents, bitangents and the first UV set only: vertices that differ in colour or in a
// later UV set would merge. A distinct bitangent per vertex keeps them apart; the glTF writers
// store neither tangents nor bitangents, so the tags never reach the file.
void tagVerticesAgainstJoin(aiScene& scene) {
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        aiMesh& mesh = *scene.mMeshes[i];
        mesh.mTangents = new aiVector3D[mesh.mNumVertices];
        mesh.mBitangents = new aiVector3D[mesh.mNumVertices];
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            // Both parts below 2^23, so exact in a float.
            mesh.mBitangents[v] =
                aiVector3D(static_cast<ai_real>(v & 0x7FFFFF), static_cast<ai_real>(v >> 23), 0);
        }
    }
}

// UV set names per mesh of the scene, in scene order.
std::vector<std::vector<std::string>> uvSetNamesOf(const aiScene& scene) {
    std::vector<std::vector<std::string>> names(scene.mNumMeshes);
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene.mMeshes[i];
        for (unsigned k = 0; k < mesh.GetNumUVChannels(); ++k) {
            names[i].push_back(mesh.HasTextureCoordsName(k) ? mesh.GetTextureCoordsName(k)->C_Str() : "");
        }
    }
    return names;
}

bool readWhole(const std::string& path, std::string& data, std::string& problem) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    data.assign(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    if (!in || !in.read(data.data(), static_cast<std::streamsize>(data.size()))) {
        problem = "cannot read back '" + path + "'";
        return false;
    }
    return true;
}

bool writeWhole(const std::string& path, const std::string& data, std::string& problem) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        problem = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

bool fixFbxFile(const std::string& tempPath, const aiScene& scene, std::string& problem) {
    std::string text;
    if (!readWhole(tempPath, text, problem))
        return false;
    std::vector<uint8_t> data(text.begin(), text.end());
    if (!fixAssimpBinaryFbx(data, uvSetNamesOf(scene), problem))
        return false;
    return writeWhole(tempPath, std::string(data.begin(), data.end()), problem);
}

bool makePlyBinary(const std::string& tempPath, std::string& problem) {
    std::string text, binary;
    return readWhole(tempPath, text, problem) && asciiPlyToBinary(text, binary, problem) &&
           writeWhole(tempPath, binary, problem);
}

// Gives each material of `scene` every property of the source material of the same name (keeping
// the written name), and `scene` a copy of the source's embedded images, which materials refer to
// by "*index" or by file name.
void carryMaterials(aiScene& scene, const aiScene& source) {
    std::map<std::string, const aiMaterial*> byName;
    for (unsigned i = 0; i < source.mNumMaterials; ++i) {
        const std::string name = materialNameOf(source, i, false);
        if (!name.empty())
            byName.emplace(name, source.mMaterials[i]);
    }
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        aiString name;
        scene.mMaterials[i]->Get(AI_MATKEY_NAME, name);
        auto found = byName.find(name.C_Str());
        if (found == byName.end())
            continue;
        delete scene.mMaterials[i];
        Assimp::SceneCombiner::Copy(&scene.mMaterials[i], found->second);
        scene.mMaterials[i]->AddProperty(&name, AI_MATKEY_NAME);
    }
    if (source.mNumTextures == 0)
        return;
    scene.mNumTextures = source.mNumTextures;
    scene.mTextures = new aiTexture*[source.mNumTextures];
    for (unsigned i = 0; i < source.mNumTextures; ++i)
        Assimp::SceneCombiner::Copy(&scene.mTextures[i], source.mTextures[i]);
}

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

} // namespace

bool exportSceneFile(const std::string& path, const std::string& format, const std::vector<SceneMesh>& meshes,
                     std::string& error) {
    return exportSceneAsset(path, format, meshes, nullptr, error);
}

bool exportSceneAsset(const std::string& path, const std::string& format,
                      const std::vector<SceneMesh>& meshes, const SourceAsset* source, std::string& error) {
    auto fail = [&](const std::string& problem) {
        error = path + ": " + problem;
        return false;
    };
    const ExportFormat* target = findExportFormat(path, format);
    if (!target) {
        return fail((format.empty() ? "unknown file extension" : "unknown format '" + format + "'") +
                    " (formats: " + exportFormatNames() + ")");
    }
    std::string problem;
    if (!checkMeshes(meshes, problem)) {
        return fail(problem);
    }
    std::unique_ptr<aiScene> scene = SceneBuilder(target->instances).build(meshes);
    if (source && source->scene() && target->keeps.textures)
        carryMaterials(*scene, *source->scene());
    if (target->joinsVertices) {
        tagVerticesAgainstJoin(*scene);
    }

    TempFileSet files(path);
    {
        Assimp::Exporter exporter;
        exporter.SetIOHandler(new TempFileIOSystem(files));
        aiReturn result = aiReturn_FAILURE;
        try {
            result = exporter.Export(scene.get(), target->assimpId, path, 0u);
        } catch (const std::exception& e) {
            // Assimp turns its own errors into a return code; this is for what escapes it.
            return fail(std::string("export failed: ") + e.what());
        }
        if (result != aiReturn_SUCCESS) {
            const std::string cause =
                files.lastError().empty() ? oneLine(exporter.GetErrorString()) : files.lastError();
            return fail("export failed: " + cause);
        }
    }
    if (target->binaryFbx && !fixFbxFile(files.tempPathFor(path), *scene, problem)) {
        return fail(problem);
    }
    if (target->binaryPly && !makePlyBinary(files.tempPathFor(path), problem)) {
        return fail(problem);
    }
    if (!files.commit(problem)) {
        return fail(problem);
    }
    return true;
}

} // namespace gxhost
