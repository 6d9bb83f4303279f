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
    // Every edge listed under its smaller end as (larger end, reversed) in buckets (a counting
    // sort by the smaller end, then a small sort within each); an edge used once is a border. The
    // border comes out ordered by (smaller, larger) end, each edge in the direction it was used.
    std::vector<uint32_t> start(points.size() + 1, 0);
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[t[k]], b = welded[t[(k + 1) % 3]];
            if (a != b)
                ++start[std::min(a, b) + 1];
        }
    for (size_t v = 0; v < points.size(); ++v)
        start[v + 1] += start[v];
    std::vector<uint64_t> entries(start.back());
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[t[k]], b = welded[t[(k + 1) % 3]];
            if (a != b)
                entries[fill[std::min(a, b)]++] = (uint64_t(std::max(a, b)) << 1) | (a > b ? 1u : 0u);
        }
    std::vector<std::array<uint32_t, 2>> border;
    for (uint32_t v = 0; v < points.size(); ++v) {
        const auto first = entries.begin() + start[v], last = entries.begin() + start[v + 1];
        std::sort(first, last);
        for (auto i = first; i != last;) {
            auto j = i + 1;
            while (j != last && (*j >> 1) == (*i >> 1))
                ++j;
            if (j == i + 1) {
                const uint32_t other = uint32_t(*i >> 1);
                border.push_back((*i & 1u) ? std::array<uint32_t, 2>{other, v}
                                           : std::array<uint32_t, 2>{v, other});
            }
            i = j;
        }
    }
    return border;
}

} // namespace gxmeasure
