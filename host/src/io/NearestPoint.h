// NearestPoint: the nearest of a fixed set of points to a query point, through a uniform grid.
// Ties go to the lower index, so the answer never depends on the grid.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace gxhost {

class NearestPoint {
public:
    explicit NearestPoint(std::vector<std::array<float, 3>> points);
    // Index of the nearest point; -1 when the set is empty.
    int64_t find(const std::array<float, 3>& q) const;

private:
    int64_t cellKey(int64_t x, int64_t y, int64_t z) const {
        return (x * 73856093) ^ (y * 19349663) ^ (z * 83492791);
    }
    std::array<int64_t, 3> cellOf(const std::array<float, 3>& p) const;

    std::vector<std::array<float, 3>> points_;
    std::array<double, 3> low_{};
    double cell_ = 1.0;
    int64_t extent_ = 0; // cells along the longest side
    std::unordered_multimap<int64_t, uint32_t> grid_;
};

} // namespace gxhost
