// exportSceneFile: writes SceneMeshes to a mesh file through Assimp, with their hierarchy and transforms.
//
//   SceneMesh ──split faces by material, split points where corner attributes differ──▶ aiScene
//             ──Assimp exporter──▶ temporary files in the target folder ──rename──▶ FILE (+ .bin/.mtl)
//
// Formats (by `format`, or by the file's extension when `format` is empty): "gltf" (.gltf + .bin),
// "glb", "fbx" (binary FBX 7.5), "fbxascii", "dae" (Collada), "obj" (+ .mtl), "ply" (ASCII). Each
// keeps what it can hold; see ExportFormat.h. Materials are written by name alone unless a source
// asset gives their properties. Faces without a material get Assimp's
// "DefaultMaterial", which the importer reads back as no material. A failed export leaves no file
// behind and the old file untouched.
//
// How to use:
//   1. std::string error;
//   2. if (!exportSceneFile(path, "", meshes, error)) show `error`: one line "<path>: <problem>".
#pragma once

#include "SceneMesh.h"

#include <string>
#include <vector>

namespace gxhost {

bool exportSceneFile(const std::string& path, const std::string& format, const std::vector<SceneMesh>& meshes,
                     std::string& error);

class SourceAsset;

// The same for meshes read from `source`: every written material takes all the properties of the
// source material of its name (colours, factors, texture references with their UV sets, blending
// and transforms), and the source's embedded images go with them, so a writer that stores them
// (see ExportFormat.h) writes the same material as read.
bool exportSceneAsset(const std::string& path, const std::string& format,
                      const std::vector<SceneMesh>& meshes, const SourceAsset* source, std::string& error);

} // namespace gxhost
