// MeshSurface: meshes of a file as triangle surfaces for distance measurement, every mesh placed
// by its transform and its parents' (polygons triangulated as the host does; UVs from the first
// UV set when every face of every mesh has them).
#pragma once

#include "SceneMesh.h"
#include "Surface.h"

#include <array>
#include <vector>

namespace gradix {

using Matrix4 = std::array<double, 16>; // row-major

// Each mesh's transform to the world, through the parents found among `meshes`.
std::vector<Matrix4> worldTransforms(const std::vector<const gxhost::SceneMesh*>& meshes);
// Adds `mesh` placed by `world` to `surface`, its UVs too when `uvs`.
void appendSurface(gxmeasure::Surface& surface, const gxhost::SceneMesh& mesh, const Matrix4& world,
                   bool uvs);
// Whether every face of every mesh has a UV in the first set.
bool allHaveUVs(const std::vector<const gxhost::SceneMesh*>& meshes);

gxmeasure::Surface toSurface(const std::vector<const gxhost::SceneMesh*>& meshes);

} // namespace gradix
