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

double pointSegmentDistance2(const P2& t, const P2& a, const P2& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double u = len2 > 0.0 ? ((t.x - a.x) * dx + (t.y - a.y) * dy) / len2 : 0.0;
    u = std::min(1.0, std::max(0.0, u));
    const double ex = a.x + u * dx - t.x, ey = a.y + u * dy - t.y;
    return ex * ex + ey * ey;
}

enum class RingShape { CROSSING, TOUCHING, CLEAN };

// How the ring's edges meet: two edges that are not next to each other cross properly (CROSSING),
// or come within `near` of each other (TOUCHING: repeated positions, a corner on another edge), or
// keep apart (CLEAN). Edges are swept in order of their smallest x, and only edges whose x ranges
// overlap (within `near`) are compared.
RingShape ringShape(const std::vector<P2>& p, const std::vector<int>& ring, double eps, double near,
                    std::vector<int>& order, std::vector<double>& lowX, std::vector<double>& highX) {
    const int m = static_cast<int>(ring.size());
    if (m <= 3)
        return RingShape::CLEAN; // every two edges of a triangle share a corner
    order.resize(m);
    for (int i = 0; i < m; ++i)
        order[i] = i;
    lowX.resize(m);
    highX.resize(m);
    for (int i = 0; i < m; ++i) {
        lowX[i] = std::min(p[ring[i]].x, p[ring[(i + 1) % m]].x);
        highX[i] = std::max(p[ring[i]].x, p[ring[(i + 1) % m]].x);
    }
    std::sort(order.begin(), order.end(),
              [&](int i, int j) { return lowX[i] < lowX[j] || (lowX[i] == lowX[j] && i < j); });
    RingShape shape = RingShape::CLEAN;
    const double near2 = near * near;
    for (int s = 0; s < m; ++s) {
        const int i = order[s];
        for (int u = s + 1; u < m && lowX[order[u]] <= highX[i] + near; ++u) {
            const int j = order[u];
            const int lo = std::min(i, j), hi = std::max(i, j);
            if (hi - lo < 2 || (lo == 0 && hi == m - 1))
                continue;
            const P2 &a = p[ring[lo]], &b = p[ring[(lo + 1) % m]], &c = p[ring[hi]],
                     &d = p[ring[(hi + 1) % m]];
            if (properlyCross(a, b, c, d, eps))
                return RingShape::CROSSING;
            if (shape == RingShape::CLEAN &&
                std::min({pointSegmentDistance2(a, c, d), pointSegmentDistance2(b, c, d),
                          pointSegmentDistance2(c, a, b), pointSegmentDistance2(d, a, b)}) <= near2)
                shape = RingShape::TOUCHING;
        }
    }
    return shape;
}

// A k-d tree over the ring's slots, built once per polygon: each node keeps the bounding box of its
// slots and how many of them are blockers now, so that an ear is tested only against the blockers in
// boxes it can reach instead of against every blocker.
class BlockerTree {
public:
    void build(const std::vector<P2>& p, const std::vector<int>& ring, const std::vector<int>& blockerAt) {
        const int m = static_cast<int>(ring.size());
        int leaves = 1;
        while (leaves * LEAF < m)
            leaves *= 2;
        nodes.resize(2 * leaves - 1);
        slots.resize(m);
        leafOf.resize(m);
        for (int k = 0; k < m; ++k)
            slots[k] = k;
        buildNode(0, 0, m, p, ring, blockerAt);
    }

    void count(int slot, int change) {
        for (int i = leafOf[slot];; i = (i - 1) / 2) {
            nodes[i].blockers += change;
            if (i == 0)
                break;
        }
    }

    // Whether `blocks` holds for a blocker slot in a box that insideOrOn(., a, b, c, eps) can accept
    // points of, with eps = 1e-12 extent^2. Ring points and the corners of the boxes (made of ring
    // coordinates) lie within 2 sqrt(2) extent of each other, so cross() of them misses its exact value
    // by at most 4.01 * 2^-53 * 8 extent^2, under 0.4% of eps. So when the box corner that is best for
    // an edge gives cross() < -2 eps, every point of the box gives less than -eps.
    template <class Blocks>
    bool anyBlocker(const P2& a, const P2& b, const P2& c, double eps, const Blocks& blocks) const {
        const auto beyond = [&](const Node& n, const P2& u, const P2& v) {
            const P2 best{v.y > u.y ? n.loX : n.hiX, v.x > u.x ? n.hiY : n.loY};
            return cross(u, v, best) < -2.0 * eps;
        };
        int stack[64], top = 0; // a depth-first walk keeps at most one entry per level, plus one
        stack[top++] = 0;
        while (top > 0) {
            const int i = stack[--top];
            const Node& n = nodes[i];
            if (n.blockers == 0 || beyond(n, a, b) || beyond(n, b, c) || beyond(n, c, a))
                continue;
            if (n.end - n.begin > LEAF) {
                stack[top++] = 2 * i + 1;
                stack[top++] = 2 * i + 2;
                continue;
            }
            for (int s = n.begin; s < n.end; ++s)
                if (blocks(slots[s]))
                    return true;
        }
        return false;
    }

private:
    static constexpr int LEAF = 8;
    struct Node {
        double loX, loY, hiX, hiY;
        int begin, end, blockers;
    };
    std::vector<Node> nodes; // node i has children 2i + 1 and 2i + 2
    std::vector<int> slots;  // in tree order: node i holds slots[begin, end)
    std::vector<int> leafOf;

    void buildNode(int i, int begin, int end, const std::vector<P2>& p, const std::vector<int>& ring,
                   const std::vector<int>& blockerAt) {
        Node& n = nodes[i];
        n = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL, begin, end, 0};
        for (int s = begin; s < end; ++s) {
            const P2& q = p[ring[slots[s]]];
            n.loX = std::min(n.loX, q.x), n.hiX = std::max(n.hiX, q.x);
            n.loY = std::min(n.loY, q.y), n.hiY = std::max(n.hiY, q.y);
            n.blockers += blockerAt[slots[s]] >= 0;
            leafOf[slots[s]] = i; // until a deeper node claims the slot
        }
        if (end - begin <= LEAF)
            return;
        // Split at the median along the wider side of the box.
        const bool alongX = n.hiX - n.loX >= n.hiY - n.loY;
        const int mid = begin + (end - begin) / 2;
        std::nth_element(slots.begin() + begin, slots.begin() + mid, slots.begin() + end, [&](int j, int k) {
            return alongX ? p[ring[j]].x < p[ring[k]].x : p[ring[j]].y < p[ring[k]].y;
        });
        buildNode(2 * i + 1, begin, mid, p, ring, blockerAt);
        buildNode(2 * i + 2, mid, end, p, ring, blockerAt);
    }
};

} // namespace

struct TriangulationWork {
    std::vector<P2> p;
    std::vector<int> ring, next, prev, blockers, blockerAt, order;
    std::vector<double> lowX, highX;
    BlockerTree tree;
};

Triangulation triangulatePolygon(const std::vector<std::array<double, 3>>& corners) {
    Triangulation result;
    triangulatePolygon(corners, result);
    return result;
}

void triangulatePolygon(const std::vector<std::array<double, 3>>& corners, Triangulation& result) {
    result.valid = result.zeroArea = false;
    result.triangles.clear();
    const int n = static_cast<int>(corners.size());
    if (n < 3) {
        result.zeroArea = true;
        return;
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
        return;
    }
    // Project along the dominant axis, keeping the winding counter-clockwise in 2D.
    double ax = std::fabs(nx), ay = std::fabs(ny), az = std::fabs(nz);
    int drop = (ax >= ay && ax >= az) ? 0 : (ay >= az ? 1 : 2);
    double sign = (drop == 0 ? nx : (drop == 1 ? ny : nz)) > 0 ? 1.0 : -1.0;
    const auto project = [&](const std::array<double, 3>& c) -> P2 {
        if (drop == 0)
            return {c[1], c[2] * sign};
        if (drop == 1)
            return {c[2], c[0] * sign};
        return {c[0], c[1] * sign};
    };
    const double eps = 1e-12 * extent * extent;
    if (n == 3) {
        // What the ear clipping below comes to for a triangle, without its working arrays: a
        // repeated corner leaves no area, and a triangle flat within eps gives no triangle.
        const P2 a = project(corners[0]), b = project(corners[1]), c = project(corners[2]);
        if (samePoint(a, b) || samePoint(b, c) || samePoint(a, c)) {
            result.zeroArea = true;
            return;
        }
        if (cross(a, b, c) > eps)
            result.triangles.push_back({0, 1, 2});
        result.valid = !result.triangles.empty();
        return;
    }
    if (!result.work)
        result.work = std::make_shared<TriangulationWork>();
    TriangulationWork& work = *result.work;
    std::vector<P2>& p = work.p;
    p.resize(n);
    for (int i = 0; i < n; ++i)
        p[i] = project(corners[i]);

    // Corners repeating the position of the previous one add no area; they are left out.
    std::vector<int>& ring = work.ring;
    ring.clear();
    for (int i = 0; i < n; ++i)
        if (ring.empty() || !samePoint(p[ring.back()], p[i]))
            ring.push_back(i);
    while (ring.size() > 1 && samePoint(p[ring.front()], p[ring.back()]))
        ring.pop_back();
    if (ring.size() < 3) {
        result.zeroArea = true;
        return;
    }
    const int m = static_cast<int>(ring.size());
    const RingShape shape = ringShape(p, ring, eps, 1e-6 * extent, work.order, work.lowX, work.highX);
    if (shape == RingShape::CROSSING)
        return; // self-intersecting

    // Ear clipping over a linked ring. Slot k holds corner ring[k]; each round tries the corners in
    // ring order from the one after the head (slot 0 until it is clipped), so a convex polygon fans
    // out from corner 0. In a ring whose edges keep apart, only corners that are not strictly convex
    // can lie in an ear, so only they are tested against a candidate ear; a ring that touches
    // itself tests every corner.
    std::vector<int>&next = work.next, &prev = work.prev;
    next.resize(m);
    prev.resize(m);
    for (int k = 0; k < m; ++k)
        next[k] = (k + 1) % m, prev[k] = (k + m - 1) % m;
    const auto convex = [&](int k) { return cross(p[ring[prev[k]]], p[ring[k]], p[ring[next[k]]]) > eps; };
    // The slots not strictly convex, in no order, and where each stands in that list.
    std::vector<int>&blockers = work.blockers, &blockerAt = work.blockerAt;
    blockers.clear();
    blockerAt.assign(m, -1);
    // Many blockers (as in a fine circle whose float corners are nearly collinear) are looked up in
    // work.tree, built when they first number 64; its bound on rounding holds while the squares of
    // coordinate differences keep clear of overflow and underflow.
    bool indexed = false;
    const bool indexable = extent > 1e-140 && extent < 1e140;
    const auto setBlocker = [&](int k, bool blocker) {
        if (blocker && blockerAt[k] < 0) {
            blockerAt[k] = static_cast<int>(blockers.size());
            blockers.push_back(k);
        } else if (!blocker && blockerAt[k] >= 0) {
            const int last = blockers.back();
            blockers[blockerAt[k]] = last;
            blockerAt[last] = blockerAt[k];
            blockers.pop_back();
            blockerAt[k] = -1;
        } else {
            return;
        }
        if (indexed)
            work.tree.count(k, blocker ? 1 : -1);
    };
    const bool clean = shape == RingShape::CLEAN;
    for (int k = 0; k < m; ++k)
        setBlocker(k, !clean || !convex(k));

    std::vector<std::array<int, 3>>& tris = result.triangles;
    int r = m, head = 0;
    while (r > 3) {
        if (!indexed && indexable && blockers.size() >= 64) {
            work.tree.build(p, ring, blockerAt);
            indexed = true;
        }
        bool clipped = false;
        int ci = next[head];
        for (int step = 0; step < r && !clipped; ++step, ci = next[ci]) {
            const int pi = prev[ci], ni = next[ci];
            const P2 &a = p[ring[pi]], &b = p[ring[ci]], &c = p[ring[ni]];
            if (cross(a, b, c) <= eps)
                continue; // reflex or flat corner
            const auto blocks = [&](int k) {
                if (blockerAt[k] < 0 || k == pi || k == ci || k == ni)
                    return false;
                const P2& t = p[ring[k]];
                return !samePoint(t, a) && !samePoint(t, b) && !samePoint(t, c) &&
                       insideOrOn(t, a, b, c, eps);
            };
            if (indexed ? work.tree.anyBlocker(a, b, c, eps, blocks)
                        : std::any_of(blockers.begin(), blockers.end(), blocks))
                continue;
            tris.push_back({ring[pi], ring[ci], ring[ni]});
            next[pi] = ni, prev[ni] = pi;
            if (ci == head)
                head = ni;
            setBlocker(ci, false);
            --r;
            setBlocker(pi, !clean || !convex(pi));
            setBlocker(ni, !clean || !convex(ni));
            clipped = true;
        }
        if (!clipped) {
            // Only flat corners left: the rest of the polygon has no area.
            bool allFlat = true;
            int k = head;
            for (int step = 0; step < r && allFlat; ++step, k = next[k])
                allFlat = std::fabs(cross(p[ring[prev[k]]], p[ring[k]], p[ring[next[k]]])) <= eps;
            if (!allFlat) {
                tris.clear();
                return;
            }
            r = 0;
        }
    }
    const int second = next[head], third = next[second];
    if (r == 3 && cross(p[ring[head]], p[ring[second]], p[ring[third]]) > eps)
        tris.push_back({ring[head], ring[second], ring[third]});
    result.valid = !tris.empty();
}

} // namespace gxhost
