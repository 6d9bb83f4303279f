// Flat shading: a mesh whose every corner carries its own face's normal holds nothing in its normals
// that its geometry does not. The tool simplifies such a mesh without them (as a smooth surface: a
// normal per face corner would make every edge a seam and cost a wedge per corner) and gives the
// result its own faces' normals.
#pragma once

#include "SceneMesh.h"

namespace gradix {

// True when the mesh has normals and each corner's is its polygon's own (within about 0.08
// degrees); faces without area may carry any.
bool hasFlatNormals(const gxhost::SceneMesh& mesh);
// Sets every corner's normal to its polygon's unit normal (+Z for a polygon without area).
void setFlatNormals(gxhost::SceneMesh& mesh);

} // namespace gradix
