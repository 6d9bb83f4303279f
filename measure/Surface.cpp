#include "Surface.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace gxmeasure {

double Surface::diagonal() const {
    if (points.empty())
        return 0.0;
    std::array<double, 3> lo = points[0], hi = points[0];
    for (const auto& p : points)
        for (int k = 0; k < 3; ++k)
            lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
    return std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                     (hi[2] - lo[2]) * (hi[2] - lo[2]));
}

std::vector<std::array<uint32_t, 2>> Surface::borderEdges() const {
    // Files split points along UV and normal seams; merge equal positions so seams are not borders.
    std::map<std::array<double, 3>, uint32_t> firstAt;
    std::vector<uint32_t> welded(points.size());
    for (uint32_t i = 0; i < points.size(); ++i)
        welded[i] = firstAt.emplace(points[i], i).first->second;
    std::map<std::pair<uint32_t, uint32_t>, std::pair<int, std::array<uint32_t, 2>>> uses;
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[t[k]], b = welded[t[(k + 1) % 3]];
            if (a == b)
                continue;
            auto& use = uses[{std::min(a, b), std::max(a, b)}];
            ++use.first;
            use.second = {a, b};
        }
    std::vector<std::array<uint32_t, 2>> border;
    for (const auto& [key, use] : uses)
        if (use.first == 1)
            border.push_back(use.second);
    return border;
}

} // namespace gxmeasure
