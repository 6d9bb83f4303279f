// importSceneFile: reads a mesh file (FBX, glTF 2, OBJ, PLY, Collada, … whatever Assimp reads) into
// SceneMeshes, one per file node that holds polygons.
//
//   file ──Assimp (no triangulation, no joining)──▶ nodes ──gather a node's meshes, weld──▶ SceneMesh
//
// Vertices at exactly the same position within one node are welded into one point; normals, colours
// and every UV channel stay per face-vertex, so seams become attribute seams of one connected surface.
// Polygons stay polygons; polygons that repeat a point are cut down or, below three points, left
// out. A node's name, made unique and command-line safe (letters, digits, '_'), names its mesh (a
// file without names gives the file's name). Its transform relative to the nearest ancestor mesh is
// kept in SceneMesh::transform, row-major with column vectors (p_parent = M * p, translation in
// elements 3, 7 and 11); SceneMesh::parent names that ancestor. Materials are kept by name only.
// A multi-material mesh that Assimp's FBX writer split into same-named child nodes is joined again.
//
// How to use:
//   1. std::vector<SceneMesh> meshes; std::string error;
//   2. if (!importSceneFile(path, meshes, error)) show `error`: one line "<path>: <problem>";
//      `meshes` is then empty.
// importSceneAndAsset also keeps in `asset`, on success, what a writer needs of the file besides
// its meshes (SourceAsset::keep), so that nothing reads the file again for that.
#pragma once

#include "AssetContents.h"
#include "SceneMesh.h"

#include <string>
#include <vector>

namespace gxhost {

bool importSceneFile(const std::string& path, std::vector<SceneMesh>& meshes, std::string& error);
bool importSceneAndAsset(const std::string& path, std::vector<SceneMesh>& meshes, SourceAsset* asset,
                         std::string& error);

} // namespace gxhost
