// Triangulator: ear clipping of one polygon, concave ones included.
//
//   corners (3D) --project on the Newell plane--> 2D ring --drop repeated positions--> ear clipping
//
// A polygon is refused (valid = false) when fewer than three distinct corners remain, its area is
// zero, two of its edges cross, or no ear can be cut. Triangles keep the polygon's winding and are
// given as polygon-local corner numbers; a convex polygon is fanned from corner 0.
#pragma once

#include <array>
#include <memory>
#include <vector>

namespace gxhost {

// The working arrays of the ear clipping (see Triangulator.cpp).
struct TriangulationWork;

struct Triangulation {
    bool valid = false;
    bool zeroArea = false;
    std::vector<std::array<int, 3>> triangles;
    // Kept with the result, so that refilling the same Triangulation polygon after polygon
    // allocates nothing once the arrays have grown; made on first use. A copy shares them: copies
    // are refilled on one thread at a time.
    std::shared_ptr<TriangulationWork> work;
};

// A polygon's corners and their triangulation, refilled polygon after polygon by a reader.
struct PolygonCorners {
    std::vector<std::array<double, 3>> corners;
    Triangulation triangulation;
};

Triangulation triangulatePolygon(const std::vector<std::array<double, 3>>& corners);
// The same into `out`, reusing its storage.
void triangulatePolygon(const std::vector<std::array<double, 3>>& corners, Triangulation& out);

} // namespace gxhost
