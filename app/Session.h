// Session: one run of the embedded host for the tool. It installs the mesh file handlers, captures
// the host's messages (so that a failure can be told in one line), loads the plug-in and turns
// mesh files into host mesh nodes and back.
//
//   1. Session session(pluginPath);            3. session.importFile(path, meshes, error)
//   2. session.loadPlugin(error)                4. ... build graphs on meshes[i].node ...
//                                               5. session.exportFile(path, format, results, error)
#pragma once

#include "SceneMesh.h"

#include "io/AssetContents.h"

#include <gxhost/Host.h>

#include <functional>
#include <string>
#include <vector>

namespace gradix {

// A mesh of the input file: as the file held it (name, parent, transform, attributes) and the
// name of the host mesh node that holds it. With flatNormals the node holds the mesh without its
// normals, which are its faces' own (see FlatNormals.h). A node that holds the mesh already
// simplified (see HalvesPass.h) has nodeScale source triangles for each of its own.
struct SourceMesh {
    gxhost::SceneMesh scene;
    std::string node;
    bool flatNormals = false;
    double nodeScale = 1.0;
};

// Given a mesh as its node would hold it and how many meshes the file has, fills `reduced` with what
// the node should hold instead and returns true, or returns false to keep the mesh as it is.
using NodeReducer =
    std::function<bool(const gxhost::SceneMesh& mesh, size_t meshes, gxhost::SceneMesh& reduced)>;

class Session {
public:
    explicit Session(std::string pluginPath);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool loadPlugin(std::string& error);
    // Reads every mesh of `path` into its own mesh node; with `dropFlatNormals`, a flat-shaded
    // mesh's node gets no normals; with `reduce`, a node may hold the mesh it makes instead.
    bool importFile(const std::string& path, std::vector<SourceMesh>& meshes, std::string& error,
                    gxhost::SourceAsset* asset = nullptr, bool dropFlatNormals = false,
                    const NodeReducer& reduce = nullptr);
    // Writes `meshes` to `path` in `format` (by the extension when empty); no file on failure. With
    // `source` (the input as read), materials are written with all their source properties.
    bool exportFile(const std::string& path, const std::string& format,
                    const std::vector<gxhost::SceneMesh>& meshes, std::string& error,
                    const gxhost::SourceAsset* source = nullptr);

    // The first error the host showed since the last clearMessages, or "" when none.
    std::string hostError() const;
    // Every distinct warning the host showed during the session, in order of first showing.
    std::vector<std::string> warnings() const;
    // The warnings on standard error, one line each.
    void printWarnings() const;
    // Forgets the errors shown so far (the warnings are kept).
    void clearMessages();

private:
    std::string pluginPath_;
    gxhost::MessageCapture capture_;
    std::vector<std::string> warnings_;
    // Warnings that say the file lacks what no mesh of it has at all: not worth telling.
    std::vector<std::string> unremarkable_;
};

// `problem` with the host's own error text after it, when there is one.
std::string withHostError(const std::string& problem, const Session& session);

} // namespace gradix
