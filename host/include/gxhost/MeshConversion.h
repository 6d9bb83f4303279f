// MeshConversion: a mesh node's or mesh data object's mesh to and from gxhost::SceneMesh, the form
// in which mesh files are read and written (welded points, per-face-vertex attributes).
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <functional>
#include <string>
#include <vector>

namespace gxhost {

struct SceneMesh;

// Fills `out` from a `mesh` node (geometry, UV sets, normals that were set, colours, materials) or
// from mesh data (no materials). The node's name becomes out.name.
MStatus meshToScene(const MObject& meshNodeOrData, SceneMesh& out);
// Replaces the mesh of a `mesh` node or mesh data object with `in` (materials only on a node).
MStatus sceneToMesh(const SceneMesh& in, const MObject& meshNodeOrData);
// Creates a `mesh` node named after in.name holding `in`.
MObject createMeshNode(const SceneMesh& in, MStatus* status = nullptr);

// Mesh file reading and writing, which the host leaves to a separate library: the tool installs
// them at start-up, and the commands `importMesh PATH` and `exportMesh [-format FORMAT] PATH NODE...`
// use them. Each returns false with one error text naming the file.
using MeshFileImporter =
    std::function<bool(const std::string& path, std::vector<SceneMesh>& meshes, std::string& error)>;
using MeshFileExporter = std::function<bool(const std::string& path, const std::string& format,
                                            const std::vector<SceneMesh>& meshes, std::string& error)>;
void setMeshFileHandlers(MeshFileImporter importer, MeshFileExporter exporter);

} // namespace gxhost
