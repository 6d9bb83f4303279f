// importMesh and exportMesh: mesh files to and from `mesh` nodes, through Assimp unless a caller
// installs handlers of its own.
//
//   importMesh FILE [-name NAME]          one mesh node per mesh of the file; prints their names
//   exportMesh [-format FMT] NODE... FILE  (FILE NODE... is accepted too)
#include "Access.h"
#include "MeshShape.h"
#include "Scene.h"
#include "SceneMesh.h"
#include "io/MeshExporter.h"
#include "io/MeshImporter.h"

#include <gxhost/MeshConversion.h>

#include <algorithm>

namespace gxhost {
namespace {

MeshFileImporter& importer() {
    static MeshFileImporter handler = importSceneFile;
    return handler;
}

MeshFileExporter& exporter() {
    static MeshFileExporter handler = exportSceneFile;
    return handler;
}

bool isMeshNode(const std::string& name) {
    auto node = Scene::get().findNode(name);
    return node && asMeshNode(MObject(node));
}

MStatus importMeshCmd(const std::vector<std::string>& args, std::vector<std::string>& result,
                      std::string& error) {
    std::string path, name;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-name" || args[i] == "-n") && i + 1 < args.size())
            name = args[++i];
        else if (path.empty())
            path = args[i];
        else
            path.clear(), i = args.size();
    }
    if (path.empty()) {
        error = "usage: importMesh FILE [-name NAME]";
        return MStatus::kInvalidParameter;
    }
    std::vector<SceneMesh> meshes;
    if (!importer()(path, meshes, error))
        return MStatus::kFailure;
    result.clear();
    for (SceneMesh& mesh : meshes) {
        // -name names a single mesh; with several, it prefixes the file's own names.
        if (!name.empty())
            mesh.name = meshes.size() == 1 ? name : name + "_" + mesh.name;
        MStatus status;
        MObject node = createMeshNode(mesh, &status);
        if (!status) {
            error = "'" + args[0] + "': mesh '" + mesh.name + "' has invalid indices";
            return status;
        }
        result.push_back(asNode(node)->name);
    }
    return MStatus::kSuccess;
}

MStatus exportMeshCmd(const std::vector<std::string>& args, std::vector<std::string>&, std::string& error) {
    std::string format;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-format" || args[i] == "-f") && i + 1 < args.size())
            format = args[++i];
        else
            words.push_back(args[i]);
    }
    if (words.size() < 2) {
        error = "usage: exportMesh [-format FORMAT] NODE... FILE";
        return MStatus::kInvalidParameter;
    }
    // NODE... FILE, or FILE NODE...: the file is whichever end is not a mesh node.
    if (isMeshNode(words.front()) && !isMeshNode(words.back()))
        std::rotate(words.begin(), words.end() - 1, words.end());
    std::vector<SceneMesh> meshes;
    for (size_t i = 1; i < words.size(); ++i) {
        auto node = Scene::get().findNode(words[i]);
        if (!node || !asMeshNode(MObject(node))) {
            error = "No mesh named '" + words[i] + "'";
            return MStatus::kNotFound;
        }
        meshes.emplace_back();
        meshToScene(MObject(node), meshes.back());
    }
    return exporter()(words[0], format, meshes, error) ? MStatus::kSuccess : MStatus::kFailure;
}

} // namespace

void setMeshFileHandlers(MeshFileImporter importFn, MeshFileExporter exportFn) {
    importer() = importFn ? std::move(importFn) : MeshFileImporter(importSceneFile);
    exporter() = exportFn ? std::move(exportFn) : MeshFileExporter(exportSceneFile);
}

void registerMeshFileCommands(Scene& scene) {
    Command importCommand;
    importCommand.name = "importMesh";
    importCommand.builtin = importMeshCmd;
    scene.commands[importCommand.name] = importCommand;
    Command exportCommand;
    exportCommand.name = "exportMesh";
    exportCommand.builtin = exportMeshCmd;
    scene.commands[exportCommand.name] = exportCommand;
}

} // namespace gxhost
