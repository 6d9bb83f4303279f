// GltfRewrite: writes a simplified glTF asset by rewriting its source file rather than rebuilding
// it, so everything besides the geometry stays exactly as read: materials with every property and
// texture (external images by the same relative path, embedded ones embedded), samplers, the node
// tree with names and transforms, cameras, lights, skins, animations, extras and extensions. Each
// glTF mesh is written once however many nodes instance it.
//
//   source glTF ──keep JSON, keep the buffer data that is not geometry──┐
//   simplified SceneMeshes ──one primitive per material, one vertex per distinct corner──┴▶ FILE
//
// Per written vertex the nearest source vertex (by position; among coincident ones, the closest
// normal) gives the skin's joints and weights (renormalised to sum 1) and every morph target's
// position and normal deltas, so the level deforms and blends with the original rig.
//
// With more than one level, the first replaces the source geometry and every further level adds
// one mesh and one node (no children, the same transform and skin) per mesh node, linked from the
// original node by MSFT_lod, with the levels' screen coverages in extras.MSFT_screencoverage.
//
//   1. GltfDocument source; source.load(inputPath, error)
//   2. writeRewrittenGltf(out, binary, source, sourceMeshes, levels, warnings, error)
#pragma once

#include "GltfDocument.h"
#include "SceneMesh.h"

#include <string>
#include <vector>

namespace gxhost {

struct GltfLevel {
    std::vector<SceneMesh> meshes; // one per source mesh, in the same order
    double coverage = 0.0;         // least screen coverage the level is drawn at (chains only)
};

// `sources` are the meshes as read from `source` (their fileParts and fileMaterials link them to
// the file). `warnings` gets one line per thing of the source that could not be carried; with
// `strict` the first of them fails the write before anything is written.
bool writeRewrittenGltf(const std::string& path, bool binary, const GltfDocument& source,
                        const std::vector<SceneMesh>& sources, const std::vector<GltfLevel>& levels,
                        std::vector<std::string>& warnings, bool strict, std::string& error);

// Recomputes extensionsUsed (every extension named anywhere in the asset, sorted) and drops from
// extensionsRequired what is no longer used.
void refreshExtensionLists(nlohmann::json& asset);

} // namespace gxhost
