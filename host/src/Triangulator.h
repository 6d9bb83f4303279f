// Triangulator: ear clipping of one polygon, concave ones included.
//
//   corners (3D) --project on the Newell plane--> 2D ring --drop repeated positions--> ear clipping
//
// A polygon is refused (valid = false) when fewer than three distinct corners remain, its area is
// zero, two of its edges cross, or no ear can be cut. Triangles keep the polygon's winding and are
// given as polygon-local corner numbers; a convex polygon is fanned from corner 0.
#pragma once

#include <array>
#include <vector>

namespace gxhost {

struct Triangulation {
    bool valid = false;
    bool zeroArea = false;
    std::vector<std::array<int, 3>> triangles;
};

Triangulation triangulatePolygon(const std::vector<std::array<double, 3>>& corners);
// The same into `out`, reusing its storage.
void triangulatePolygon(const std::vector<std::array<double, 3>>& corners, Triangulation& out);

} // namespace gxhost
