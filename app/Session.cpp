#include "Session.h"

#include "MeshInfo.h"

#include "io/FlatNormals.h"

#include "io/MeshExporter.h"
#include "io/MeshImporter.h"

#include <gxhost/MeshConversion.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <utility>

namespace gradix {

Session::Session(std::string pluginPath) : pluginPath_(std::move(pluginPath)) {
    gxhost::setMeshFileHandlers(gxhost::importSceneFile, gxhost::exportSceneFile);
}

Session::~Session() {
    // Nodes borrow the plug-in's code, so they go before it is unloaded.
    gxhost::resetScene();
    gxhost::setMeshFileHandlers(nullptr, nullptr);
}

bool Session::loadPlugin(std::string& error) {
    if (!std::ifstream(pluginPath_)) {
        error = pluginPath_ + ": plug-in library not found (give its path with --plugin)";
        return false;
    }
    clearMessages();
    if (!gxhost::loadPlugin(pluginPath_)) {
        error = withHostError(pluginPath_ + ": the plug-in did not load", *this);
        return false;
    }
    return true;
}

bool Session::importFile(const std::string& path, std::vector<SourceMesh>& meshes, std::string& error,
                         gxhost::SourceAsset* asset, bool dropFlatNormals, const NodeReducer& reduce) {
    meshes.clear();
    std::vector<gxhost::SceneMesh> scenes;
    if (!gxhost::importSceneAndAsset(path, scenes, asset, error))
        return false;
    // The node reads colours and UVs of every corner whatever it is asked; when no mesh of the file
    // has any, its warning that some are missing says nothing.
    const bool anyColors = std::any_of(scenes.begin(), scenes.end(), [](const gxhost::SceneMesh& s) {
        return std::find(s.hasColor.begin(), s.hasColor.end(), 1) != s.hasColor.end();
    });
    const bool anyUVs = std::any_of(scenes.begin(), scenes.end(), [](const gxhost::SceneMesh& s) {
        return std::any_of(s.uvSets.begin(), s.uvSets.end(), [](const gxhost::SceneUVSet& set) {
            return std::any_of(set.uvIds.begin(), set.uvIds.end(), [](int32_t id) { return id >= 0; });
        });
    });
    if (!anyColors)
        unremarkable_.push_back("Not all faces/vertices have colors set");
    if (!anyUVs)
        unremarkable_.push_back("Not all faces/vertices have UVs set");
    for (gxhost::SceneMesh& scene : scenes) {
        clearMessages();
        MStatus status;
        const bool flat = dropFlatNormals && gxhost::hasFlatNormals(scene);
        std::vector<std::array<float, 3>> normals;
        if (flat)
            normals.swap(scene.normals);
        gxhost::SceneMesh reduced;
        const bool reducing = reduce && reduce(scene, scenes.size(), reduced);
        MObject node = gxhost::createMeshNode(reducing ? reduced : scene, &status);
        if (flat)
            normals.swap(scene.normals);
        if (!status) {
            error =
                withHostError(path + ": mesh '" + scene.name + "' cannot be made into a mesh node", *this);
            meshes.clear();
            return false;
        }
        const double scale = reducing ? double(polygonTriangles(scene)) /
                                            double(std::max<size_t>(1, reduced.faceCounts.size()))
                                      : 1.0;
        meshes.push_back({std::move(scene), gxhost::nodeName(node), flat, scale});
    }
    return true;
}

bool Session::exportFile(const std::string& path, const std::string& format,
                         const std::vector<gxhost::SceneMesh>& meshes, std::string& error,
                         const gxhost::SourceAsset* source) {
    return gxhost::exportSceneAsset(path, format, meshes, source, error);
}

void Session::clearMessages() {
    for (const std::string& warning : capture_.warnings())
        warnings_.push_back(warning);
    capture_.clear();
}

std::vector<std::string> Session::warnings() const {
    std::vector<std::string> all = warnings_;
    for (const std::string& warning : capture_.warnings())
        all.push_back(warning);
    // Each node repeats the same warning; each text is told once, with how often it came.
    std::vector<std::pair<std::string, unsigned>> counted;
    for (const std::string& warning : all) {
        if (std::find(unremarkable_.begin(), unremarkable_.end(), warning) != unremarkable_.end())
            continue;
        auto it =
            std::find_if(counted.begin(), counted.end(), [&](const auto& c) { return c.first == warning; });
        if (it == counted.end())
            counted.emplace_back(warning, 1u);
        else
            ++it->second;
    }
    std::vector<std::string> texts;
    for (const auto& [text, count] : counted)
        texts.push_back(count == 1 ? text : text + " (" + std::to_string(count) + " times)");
    return texts;
}

void Session::printWarnings() const {
    for (const std::string& warning : warnings())
        std::cerr << "gradix: warning: " << warning << "\n";
}

std::string Session::hostError() const {
    const std::vector<std::string> errors = capture_.errors();
    return errors.empty() ? std::string() : errors.front();
}

std::string withHostError(const std::string& problem, const Session& session) {
    const std::string host = session.hostError();
    return host.empty() ? problem : problem + " (" + host + ")";
}

} // namespace gradix
