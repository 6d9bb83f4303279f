// MeshSurface: the meshes of a file as one triangle surface for distance measurement, every mesh
// placed by its transform and its parents' (polygons triangulated as the host does; UVs from the
// first UV set when every face has them).
#pragma once

#include "SceneMesh.h"
#include "Surface.h"

#include <vector>

namespace gradix {

gxmeasure::Surface toSurface(const std::vector<const gxhost::SceneMesh*>& meshes);
gxmeasure::Surface toSurface(const std::vector<gxhost::SceneMesh>& meshes);

} // namespace gradix
