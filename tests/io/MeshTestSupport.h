// Helpers for the mesh file tests: a hand-built sheet with every attribute, a scratch folder, and
// order-independent comparison of meshes.
#pragma once

#include "io/MeshExporter.h"
#include "io/MeshImporter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gxtest {

using gxhost::SceneMesh;

// A 3 x 2 grid of unit quads (points 4 x 3), creased along x = 1 so that the faces left of it are
// flat and the rest tilt up:
//
//   y=2  +----+----+----+      map1: one island, split along x = 2 (the right column moves by +0.5)
//        | A  | A  | B  |      map2: continuous
//   y=1  +----+----+----+      map3: split along y = 1 (the top row moves by +1 in v)
//        | A  | A  | B  |      colours: the top row is bluer and half transparent (border at y = 1)
//   y=0  +----+----+----+      normals: per face (hard edges), so the crease at x = 1 is a seam
//       x=0  x=1  x=2  x=3     materials: "paintA" left of x = 2, "paintB" right; all edges of the
//                              grid's outline are boundary edges (10)
// With `triangles` every quad is split along its diagonal from (x, y) to (x+1, y+1).
SceneMesh makeSheet(bool triangles, const std::string& name = "sheet");

// The edges used by exactly one face (lower vertex first, in vertex order), and their number.
std::vector<std::pair<int32_t, int32_t>> boundaryEdges(const SceneMesh& mesh);
size_t boundaryEdgeCount(const SceneMesh& mesh);

// The faces of `mesh` as sorted, rounded text (position, normal, colour, every UV set, material per
// corner, corners rotated to start at the smallest), so that meshes compare regardless of point,
// face and UV numbering. Colours are rounded to `colorStep` (8-bit formats need 1/255).
std::vector<std::string> canonicalFaces(const SceneMesh& mesh, float colorStep = 1e-4f);

const SceneMesh* findMesh(const std::vector<SceneMesh>& meshes, const std::string& name);

// A fresh folder under the test temp dir, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& file) const { return dir_ + "/" + file; }
    const std::string& dir() const { return dir_; }
    // Paths (relative, sorted) of the files now below the folder and of its empty folders;
    // temporary files start with '.'.
    std::vector<std::string> files() const;

private:
    std::string dir_;
};

std::string modelPath(const std::string& relative);
bool modelsInstalled();

void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

} // namespace gxtest
