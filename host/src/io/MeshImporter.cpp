#include "MeshImporter.h"

#include "AssimpLogCapture.h"
#include "ContainedIOSystem.h"
#include "DeclaredCountCheck.h"
#include "ImportLimits.h"
#include "ImportTransfer.h"
#include "MaterialNames.h"
#include "MeshWelder.h"
#include "ReaderProbe.h"
#include "ZipCheck.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gxhost {
namespace {

bool checkReadable(const std::string& path, std::string& problem) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        problem = std::string("cannot read the file (") + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = std::string("cannot read the file (") + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string describeReadFailure(const std::string& assimpError) {
    if (assimpError.find("No suitable reader found") != std::string::npos) {
        return "unknown file format";
    }
    return "cannot load the file: " + oneLine(assimpError);
}

// Node names become mesh names that a command line can carry: letters, digits and underscores;
// any other character (a multi-byte one counts once) becomes an underscore.
std::string safeName(const std::string& raw) {
    std::string name;
    for (size_t i = 0; i < raw.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(raw[i]);
        if ((c & 0xC0) == 0x80) {
            continue; // continuation byte of a character already replaced
        }
        const bool keep =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        name += keep ? static_cast<char>(c) : '_';
    }
    if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
        name.insert(name.begin(), '_');
    }
    return name;
}

std::array<double, 16> toRowMajor(const aiMatrix4x4& m) {
    return {m.a1, m.a2, m.a3, m.a4, m.b1, m.b2, m.b3, m.b4, m.c1, m.c2, m.c3, m.c4, m.d1, m.d2, m.d3, m.d4};
}

bool hasPolygon(const aiMesh& m) {
    for (unsigned f = 0; f < m.mNumFaces; ++f) {
        if (m.mFaces && m.mFaces[f].mNumIndices >= 3) {
            return true;
        }
    }
    return false;
}

// Some readers leave child or mesh slots empty (RAW gives a root with a null child); those are
// skipped rather than followed.
std::vector<const aiNode*> childrenOf(const aiNode& node) {
    std::vector<const aiNode*> children;
    for (unsigned c = 0; node.mChildren && c < node.mNumChildren; ++c) {
        if (node.mChildren[c]) {
            children.push_back(node.mChildren[c]);
        }
    }
    return children;
}

std::vector<unsigned> meshIndicesOf(const aiNode& node) {
    return node.mMeshes ? std::vector<unsigned>(node.mMeshes, node.mMeshes + node.mNumMeshes)
                        : std::vector<unsigned>();
}

// Walks the node tree depth first in child order; every node holding polygons becomes a SceneMesh.
class SceneGatherer {
public:
    SceneGatherer(const aiScene& scene, std::string fileStem, bool gltf, std::vector<SceneMesh>& meshes)
        : scene_(scene), fileStem_(std::move(fileStem)), gltf_(gltf), meshes_(meshes) {}

    bool gather(std::string& problem) {
        std::vector<uint32_t> path;
        return visit(*scene_.mRootNode, path, aiMatrix4x4(), std::string(), problem);
    }

private:
    // A writer that keeps one material per mesh (Assimp's FBX writer) stores a multi-material
    // mesh as an empty node with one identity-transform leaf per material, each named like the
    // node. Those leaves belong to their parent.
    bool isMaterialLeaf(const aiNode& parent, const aiNode& child) const {
        return childrenOf(child).empty() && !meshIndicesOf(child).empty() && child.mName == parent.mName &&
               child.mTransformation.IsIdentity();
    }

    bool visit(const aiNode& node, std::vector<uint32_t>& path, const aiMatrix4x4& above,
               const std::string& parentName, std::string& problem) {
        const aiMatrix4x4 toParent = above * node.mTransformation;
        const std::vector<const aiNode*> children = childrenOf(node);
        std::vector<unsigned> meshIndices = meshIndicesOf(node);
        for (const aiNode* child : children) {
            if (isMaterialLeaf(node, *child)) {
                const std::vector<unsigned> leafMeshes = meshIndicesOf(*child);
                meshIndices.insert(meshIndices.end(), leafMeshes.begin(), leafMeshes.end());
            }
        }
        std::string name = parentName;
        aiMatrix4x4 childAbove = toParent;
        SceneMesh mesh;
        std::vector<MeshPart> parts;
        // A node that refers to the same file meshes as an earlier one is an instance of it: the
        // same geometry, welded once.
        const auto earlier = meshIndices.empty() ? firstWith_.end() : firstWith_.find(meshIndices);
        if (earlier != firstWith_.end()) {
            mesh = meshes_[earlier->second];
            mesh.instanceOf = mesh.name;
            mesh.name = uniqueName(node, *scene_.mMeshes[meshIndices.front()]);
            mesh.parent = parentName;
            mesh.transform = toRowMajor(toParent);
            mesh.fileNode = path;
            name = mesh.name;
            childAbove = aiMatrix4x4();
            meshes_.push_back(std::move(mesh));
        }
        for (size_t position = 0; earlier == firstWith_.end() && position < meshIndices.size(); ++position) {
            const unsigned index = meshIndices[position];
            if (!scene_.mMeshes || index >= scene_.mNumMeshes || !scene_.mMeshes[index]) {
                problem = "node '" + std::string(node.mName.C_Str()) + "' refers to a missing mesh";
                return false;
            }
            const aiMesh& m = *scene_.mMeshes[index];
            if (hasPolygon(m)) {
                parts.push_back({&m, materialOf(m, static_cast<int32_t>(position), mesh)});
            }
        }
        if (!parts.empty()) {
            mesh.name = uniqueName(node, *parts.front().mesh);
            mesh.parent = parentName;
            mesh.transform = toRowMajor(toParent);
            mesh.fileNode = path;
            if (!weldMeshParts(parts, mesh, problem)) {
                problem = "mesh '" + mesh.name + "': " + problem;
                return false;
            }
            name = mesh.name;
            childAbove = aiMatrix4x4();
            firstWith_.emplace(meshIndices, meshes_.size());
            meshes_.push_back(std::move(mesh));
        }
        for (size_t c = 0; c < children.size(); ++c) {
            path.push_back(static_cast<uint32_t>(c));
            if (!isMaterialLeaf(node, *children[c]) &&
                !visit(*children[c], path, childAbove, name, problem)) {
                return false;
            }
            path.pop_back();
        }
        return true;
    }

    // Materials by name; Assimp's stand-in for "no material" gives -1.
    int32_t materialOf(const aiMesh& m, int32_t position, SceneMesh& mesh) const {
        const std::string name = materialNameOf(scene_, m.mMaterialIndex, gltf_);
        if (name.empty()) {
            return -1;
        }
        for (size_t i = 0; i < mesh.materials.size(); ++i) {
            if (mesh.materials[i] == name) {
                return static_cast<int32_t>(i);
            }
        }
        mesh.materials.push_back(name);
        mesh.fileMaterials.push_back(position);
        return static_cast<int32_t>(mesh.materials.size() - 1);
    }

    std::string uniqueName(const aiNode& node, const aiMesh& firstPart) {
        std::string base = safeName(node.mName.C_Str());
        if (base.empty()) {
            base = safeName(firstPart.mName.C_Str());
        }
        if (base.empty()) {
            base = safeName(fileStem_); // formats without names, such as PLY
        }
        if (base.empty()) {
            base = "mesh";
        }
        std::string name = base;
        for (int n = 1; !usedNames_.insert(name).second; ++n) {
            name = base + std::to_string(n);
        }
        return name;
    }

    const aiScene& scene_;
    std::string fileStem_;
    bool gltf_;
    std::vector<SceneMesh>& meshes_;
    std::set<std::string> usedNames_;
    std::map<std::vector<unsigned>, size_t> firstWith_; // file meshes of a node -> its SceneMesh
};

std::string memoryFailure(const ImportLimits& limits) {
    return "reading it needs more memory than the import limit of " + std::to_string(limits.maxMemory >> 20) +
           " MiB (see --max-memory)";
}

// The reader's settings, in the child and wherever the file is read in this process.
ContainedIOSystem* prepareImporter(Assimp::Importer& importer, const std::string& path,
                                   const ImportLimits& limits) {
    // One transform per node rather than FBX's chain of pivot helper nodes.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    auto* files = new ContainedIOSystem(path, limits.allowOutsideRefs);
    importer.SetIOHandler(files); // the importer owns it
    return files;
}

// Reads the file with Assimp in this process: empty on success, else the problem. `importer` keeps
// the scene the meshes were taken from.
std::string readHere(Assimp::Importer& importer, const std::string& path, const ImportLimits& limits,
                     std::vector<SceneMesh>& meshes, SourceAsset* asset) {
    ContainedIOSystem* files = prepareImporter(importer, path, limits);
    const aiScene* scene = nullptr;
    bool droppedFaces = false;
    {
        AssimpLogCapture log;
        MemoryCeiling ceiling(limits.maxMemory);
        // No post-processing: triangulating would lose polygons and joining identical vertices is
        // done by the weld, which keeps attributes per face-vertex.
        try {
            scene = importer.ReadFile(path, 0);
        } catch (const std::exception& e) {
            // Assimp catches its own errors; this is for what escapes it.
            scene = nullptr;
            if (!ceiling.refused())
                return std::string("cannot load the file: ") + e.what();
        }
        if (ceiling.refused()) {
            importer.FreeScene();
            return memoryFailure(limits);
        }
        droppedFaces = log.droppedOutOfRangeFaces();
    }
    if (!files->refused().empty())
        return "refers to " + files->refused() +
               ", outside the input's folder (use --allow-outside-refs to read it)";
    if (droppedFaces)
        return "face indices out of range";
    if (!scene)
        return describeReadFailure(importer.GetErrorString());
    if (!scene->mRootNode || scene->mNumMeshes == 0)
        return "no mesh in the file";
    const size_t slash = path.find_last_of('/');
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string extension = fileName.substr(fileName.find_last_of('.') + 1);
    const bool gltf = extension == "gltf" || extension == "glb" || extension == "GLTF" || extension == "GLB";
    SceneGatherer gatherer(*scene, fileName.substr(0, fileName.find('.')), gltf, meshes);
    std::string problem;
    if (!gatherer.gather(problem))
        return problem;
    if (meshes.empty())
        return "no polygon mesh in the file";
    if (asset)
        asset->keep(*scene);
    return {};
}

// Reads the file in a child process, which sends back the meshes it made (ImportTransfer): Assimp's
// readers crash, abort, loop or read and write out of bounds on some damaged files, which must cost
// one line and leave this process untouched. Where no child can be made the file is read here.
std::string readInChild(const std::string& path, const ImportLimits& limits, std::vector<SceneMesh>& meshes,
                        SourceAsset* asset) {
    struct Descriptor {
        int fd;
        ~Descriptor() {
            if (fd >= 0)
                close(fd);
        }
    } transfer{memfd_create("gradix-import", MFD_CLOEXEC)};
    const auto readInThisProcess = [&] {
        Assimp::Importer importer;
        return readHere(importer, path, limits, meshes, asset);
    };
    if (transfer.fd < 0)
        return readInThisProcess();
    const ProbeResult probe = probeReader(
        [&] {
            // The child ends without freeing what it read.
            auto* importer = new Assimp::Importer;
            auto* read = new std::vector<SceneMesh>;
            auto* kept = asset ? new SourceAsset : nullptr;
            std::string problem;
            try {
                problem = readHere(*importer, path, limits, *read, kept);
            } catch (const std::bad_alloc&) {
                return kProbeOutOfMemory;
            } catch (const std::exception& e) {
                problem = std::string("cannot load the file: ") + e.what();
            }
            // Bytes that could not all go are found incomplete at the other end.
            ImportTransfer::write(transfer.fd, problem, *read, kept);
            return 0;
        },
        limits.maxMemory, limits.readSeconds);
    switch (probe.outcome) {
    case ProbeOutcome::Finished: {
        if (limits.readHereToo)
            return readInThisProcess();
        std::string problem;
        if (!ImportTransfer::read(transfer.fd, problem, meshes, asset))
            return "cannot load the file: the reader's process ended without handing over what it read";
        return problem;
    }
    case ProbeOutcome::Unavailable:
        return readInThisProcess();
    case ProbeOutcome::OutOfMemory:
        return memoryFailure(limits);
    case ProbeOutcome::TimedOut:
        return "reading it takes longer than the import limit of " + std::to_string(int(limits.readSeconds)) +
               " s (see --read-timeout)";
    case ProbeOutcome::Crashed:
        break;
    }
    return std::string("cannot load the file: the reader crashed on it") +
           (probe.signal ? std::string(" (") + strsignal(probe.signal) + ")" : std::string());
}

} // namespace

bool importSceneFile(const std::string& path, std::vector<SceneMesh>& meshes, std::string& error) {
    return importSceneAndAsset(path, meshes, nullptr, error);
}

bool importSceneAndAsset(const std::string& path, std::vector<SceneMesh>& meshes, SourceAsset* asset,
                         std::string& error) {
    meshes.clear();
    auto fail = [&](const std::string& problem) {
        meshes.clear();
        error = path + ": " + problem;
        return false;
    };
    std::string problem;
    if (!checkReadable(path, problem) || !checkDeclaredCounts(path, problem) ||
        !checkZipArchive(path, problem)) {
        return fail(problem);
    }

    problem = readInChild(path, importLimits(), meshes, asset);
    if (!problem.empty())
        return fail(problem);
    return true;
}

} // namespace gxhost
