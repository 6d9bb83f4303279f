// importMesh and exportMesh: mesh files to and from `mesh` nodes through the installed handlers.
#include "Access.h"
#include "MeshShape.h"
#include "Scene.h"
#include "SceneMesh.h"

#include <gxhost/MeshConversion.h>

namespace gxhost {
namespace {

MeshFileImporter& importer() {
    static MeshFileImporter handler;
    return handler;
}

MeshFileExporter& exporter() {
    static MeshFileExporter handler;
    return handler;
}

MStatus importMeshCmd(const std::vector<std::string>& args, std::vector<std::string>& result,
                      std::string& error) {
    if (args.size() != 1) {
        error = "usage: importMesh PATH";
        return MStatus::kInvalidParameter;
    }
    if (!importer()) {
        error = "Cannot read '" + args[0] + "': no mesh file support is installed";
        return MStatus::kNotImplemented;
    }
    std::vector<SceneMesh> meshes;
    if (!importer()(args[0], meshes, error))
        return MStatus::kFailure;
    result.clear();
    for (const SceneMesh& mesh : meshes) {
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
        error = "usage: exportMesh [-format FORMAT] PATH NODE...";
        return MStatus::kInvalidParameter;
    }
    if (!exporter()) {
        error = "Cannot write '" + words[0] + "': no mesh file support is installed";
        return MStatus::kNotImplemented;
    }
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
    importer() = std::move(importFn);
    exporter() = std::move(exportFn);
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
