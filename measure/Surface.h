// Surface: a triangle soup as the distance measurement takes it, with no tie to the host, so the
// tool and the Python module can both fill it. Positions are in one common space (the tool puts
// every mesh of a file through its transforms first); UVs, when present, are per triangle corner.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace gxmeasure {

struct Surface {
    std::vector<std::array<double, 3>> points;
    std::vector<std::array<uint32_t, 3>> triangles;
    // Empty, or one UV per corner (3 per triangle, in triangle order).
    std::vector<std::array<float, 2>> uvs;

    bool hasUVs() const { return !triangles.empty() && uvs.size() == 3 * triangles.size(); }
    // Length of the diagonal of the axis-aligned box around the points (0 when empty).
    double diagonal() const;
    // Edges used by exactly one triangle once coincident points are merged, as point pairs.
    std::vector<std::array<uint32_t, 2>> borderEdges() const;
};

} // namespace gxmeasure
