#include "NearestPoint.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gxhost {

NearestPoint::NearestPoint(std::vector<std::array<float, 3>> points) : points_(std::move(points)) {
    if (points_.empty())
        return;
    std::array<double, 3> high{};
    for (int k = 0; k < 3; ++k)
        low_[k] = high[k] = points_[0][k];
    for (const auto& p : points_)
        for (int k = 0; k < 3; ++k) {
            low_[k] = std::min<double>(low_[k], p[k]);
            high[k] = std::max<double>(high[k], p[k]);
        }
    const double side = std::max({high[0] - low_[0], high[1] - low_[1], high[2] - low_[2], 1e-12});
    const double perSide = std::max(1.0, std::cbrt(static_cast<double>(points_.size())));
    cell_ = side / perSide;
    extent_ = static_cast<int64_t>(perSide) + 1;
    for (uint32_t i = 0; i < points_.size(); ++i) {
        const auto c = cellOf(points_[i]);
        grid_.emplace(cellKey(c[0], c[1], c[2]), i);
    }
}

std::array<int64_t, 3> NearestPoint::cellOf(const std::array<float, 3>& p) const {
    std::array<int64_t, 3> c{};
    for (int k = 0; k < 3; ++k) {
        const double x = std::floor((p[k] - low_[k]) / cell_);
        c[k] = static_cast<int64_t>(std::max(-1.0, std::min(x, static_cast<double>(extent_))));
    }
    return c;
}

int64_t NearestPoint::find(const std::array<float, 3>& q) const {
    if (points_.empty())
        return -1;
    const auto c = cellOf(q);
    int64_t best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    // Rings of cells around the query's cell; a ring r holds no point nearer than (r - 1) cells.
    for (int64_t r = 0; r <= extent_ + 2; ++r) {
        if (best >= 0 && (r - 1) * cell_ > std::sqrt(bestDistance))
            break;
        for (int64_t x = c[0] - r; x <= c[0] + r; ++x)
            for (int64_t y = c[1] - r; y <= c[1] + r; ++y)
                for (int64_t z = c[2] - r; z <= c[2] + r; ++z) {
                    if (std::max({std::llabs(x - c[0]), std::llabs(y - c[1]), std::llabs(z - c[2])}) != r)
                        continue;
                    const auto range = grid_.equal_range(cellKey(x, y, z));
                    for (auto it = range.first; it != range.second; ++it) {
                        const auto& p = points_[it->second];
                        const double dx = p[0] - q[0], dy = p[1] - q[1], dz = p[2] - q[2];
                        const double d = dx * dx + dy * dy + dz * dz;
                        if (d < bestDistance || (d == bestDistance && it->second < best)) {
                            best = it->second;
                            bestDistance = d;
                        }
                    }
                }
    }
    return best;
}

} // namespace gxhost
