#include "Triangulator.h"

#include <algorithm>
#include <cmath>

namespace gxhost {
namespace {

struct P2 {
    double x, y;
};

double cross(const P2& a, const P2& b, const P2& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool samePoint(const P2& a, const P2& b) {
    return a.x == b.x && a.y == b.y;
}

// Proper crossing of segments ab and cd (touching at an end point does not count).
bool properlyCross(const P2& a, const P2& b, const P2& c, const P2& d, double eps) {
    double d1 = cross(a, b, c), d2 = cross(a, b, d), d3 = cross(c, d, a), d4 = cross(c, d, b);
    return ((d1 > eps && d2 < -eps) || (d1 < -eps && d2 > eps)) &&
           ((d3 > eps && d4 < -eps) || (d3 < -eps && d4 > eps));
}

bool insideOrOn(const P2& p, const P2& a, const P2& b, const P2& c, double eps) {
    return cross(a, b, p) >= -eps && cross(b, c, p) >= -eps && cross(c, a, p) >= -eps;
}

} // namespace

Triangulation triangulatePolygon(const std::vector<std::array<double, 3>>& corners) {
    Triangulation result;
    const int n = static_cast<int>(corners.size());
    if (n < 3) {
        result.zeroArea = true;
        return result;
    }
    // Newell normal: its length is twice the area, its direction the polygon's facing.
    double nx = 0, ny = 0, nz = 0, extent = 0;
    for (int i = 0; i < n; ++i) {
        const auto& a = corners[i];
        const auto& b = corners[(i + 1) % n];
        nx += (a[1] - b[1]) * (a[2] + b[2]);
        ny += (a[2] - b[2]) * (a[0] + b[0]);
        nz += (a[0] - b[0]) * (a[1] + b[1]);
        for (int k = 0; k < 3; ++k)
            extent = std::max(extent, std::fabs(a[k] - corners[0][k]));
    }
    double area2 = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(area2 > 1e-12 * extent * extent) || extent == 0.0) {
        result.zeroArea = true;
        return result;
    }
    // Project along the dominant axis, keeping the winding counter-clockwise in 2D.
    double ax = std::fabs(nx), ay = std::fabs(ny), az = std::fabs(nz);
    int drop = (ax >= ay && ax >= az) ? 0 : (ay >= az ? 1 : 2);
    double sign = (drop == 0 ? nx : (drop == 1 ? ny : nz)) > 0 ? 1.0 : -1.0;
    std::vector<P2> p(n);
    for (int i = 0; i < n; ++i) {
        const auto& c = corners[i];
        if (drop == 0)
            p[i] = {c[1], c[2] * sign};
        else if (drop == 1)
            p[i] = {c[2], c[0] * sign};
        else
            p[i] = {c[0], c[1] * sign};
    }
    const double eps = 1e-12 * extent * extent;

    // Corners repeating the position of the previous one add no area; they are left out.
    std::vector<int> ring;
    for (int i = 0; i < n; ++i)
        if (ring.empty() || !samePoint(p[ring.back()], p[i]))
            ring.push_back(i);
    while (ring.size() > 1 && samePoint(p[ring.front()], p[ring.back()]))
        ring.pop_back();
    if (ring.size() < 3) {
        result.zeroArea = true;
        return result;
    }
    const int m = static_cast<int>(ring.size());
    for (int i = 0; i < m; ++i)
        for (int j = i + 2; j < m; ++j) {
            if (i == 0 && j == m - 1)
                continue;
            if (properlyCross(p[ring[i]], p[ring[(i + 1) % m]], p[ring[j]], p[ring[(j + 1) % m]], eps))
                return result; // self-intersecting
        }

    std::vector<std::array<int, 3>> tris;
    while (ring.size() > 3) {
        const int r = static_cast<int>(ring.size());
        bool clipped = false;
        // Starting at the second corner makes a convex polygon fan out from corner 0.
        for (int k = 1; k <= r && !clipped; ++k) {
            int ci = k % r, pi = (ci + r - 1) % r, ni = (ci + 1) % r;
            const P2 &a = p[ring[pi]], &b = p[ring[ci]], &c = p[ring[ni]];
            if (cross(a, b, c) <= eps)
                continue; // reflex or flat corner
            bool blocked = false;
            for (int q = 0; q < r && !blocked; ++q) {
                if (q == pi || q == ci || q == ni)
                    continue;
                const P2& t = p[ring[q]];
                if (samePoint(t, a) || samePoint(t, b) || samePoint(t, c))
                    continue;
                blocked = insideOrOn(t, a, b, c, eps);
            }
            if (blocked)
                continue;
            tris.push_back({ring[pi], ring[ci], ring[ni]});
            ring.erase(ring.begin() + ci);
            clipped = true;
        }
        if (!clipped) {
            // Only flat corners left: the rest of the polygon has no area.
            bool allFlat = true;
            for (int k = 0; k < r && allFlat; ++k)
                allFlat = std::fabs(cross(p[ring[(k + r - 1) % r]], p[ring[k]], p[ring[(k + 1) % r]])) <= eps;
            if (!allFlat)
                return result;
            ring.clear();
        }
    }
    if (ring.size() == 3 && cross(p[ring[0]], p[ring[1]], p[ring[2]]) > eps)
        tris.push_back({ring[0], ring[1], ring[2]});
    if (tris.empty())
        return result;
    result.valid = true;
    result.triangles = std::move(tris);
    return result;
}

} // namespace gxhost
