#include "Surface.h"

#include <algorithm>
#include <cmath>

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
    // Sorting beats ordered maps here by a wide margin on a million triangles.
    std::vector<uint32_t> order(points.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return points[a] != points[b] ? points[a] < points[b] : a < b; });
    std::vector<uint32_t> welded(points.size());
    for (size_t i = 0; i < order.size(); ++i)
        welded[order[i]] =
            i > 0 && points[order[i]] == points[order[i - 1]] ? welded[order[i - 1]] : order[i];
    // Every directed edge as (smaller, larger, from, to); an edge used once is a border.
    std::vector<std::array<uint32_t, 4>> edges;
    edges.reserve(3 * triangles.size());
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[t[k]], b = welded[t[(k + 1) % 3]];
            if (a != b)
                edges.push_back({std::min(a, b), std::max(a, b), a, b});
        }
    std::sort(edges.begin(), edges.end());
    std::vector<std::array<uint32_t, 2>> border;
    for (size_t i = 0; i < edges.size();) {
        size_t j = i + 1;
        while (j < edges.size() && edges[j][0] == edges[i][0] && edges[j][1] == edges[i][1])
            ++j;
        if (j == i + 1)
            border.push_back({edges[i][2], edges[i][3]});
        i = j;
    }
    return border;
}

} // namespace gxmeasure
