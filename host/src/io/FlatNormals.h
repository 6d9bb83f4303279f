// Flat shading: a mesh whose every corner carries its own face's normal holds nothing in its normals
// that its geometry does not. The tool (and the Python module, with flatNotSeam) simplifies such a
// mesh without them, as the smooth surface it shades (a normal per face corner would make every
// edge a seam and cost a wedge per corner), and gives the result its own faces' normals.
#pragma once

#include "SceneMesh.h"

#include <array>

namespace gxhost {

using Vector3f = std::array<float, 3>;

// Whether each of the polygon's corners carries the polygon's own normal (within about 0.08
// degrees): corners[i] is the position of corner i, normals[i] its normal. True for a polygon
// without area, which may carry any.
bool followsItsPolygon(const Vector3f* const* corners, const Vector3f* const* normals, int count);
// The polygon's unit normal by Newell's method (+Z for a polygon without area).
Vector3f polygonUnitNormal(const Vector3f* const* corners, int count);

// True when the mesh has normals and every polygon's corners follow it.
bool hasFlatNormals(const SceneMesh& mesh);
// Sets every corner's normal to its polygon's unit normal.
void setFlatNormals(SceneMesh& mesh);

} // namespace gxhost
