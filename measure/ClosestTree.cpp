#include "ClosestTree.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <type_traits>

namespace gxmeasure {
namespace {

constexpr uint32_t LEAF = 4; // primitives a leaf holds at most
// A frame is kept when its box's surface is below this share of the axis-aligned box's.
constexpr double THINNER = 0.25;
// Subtrees of more primitives than this are built side by side.
constexpr uint32_t PARALLEL = 1u << 15;

int cornersOf(const Triangle& t, Point* out) {
    out[0] = t[0], out[1] = t[1], out[2] = t[2];
    return 3;
}

int cornersOf(const Segment& s, Point* out) {
    out[0] = s.source(), out[1] = s.target();
    return 2;
}

// Float bounds that still hold their double values.
float below(double x) {
    const float f = static_cast<float>(x);
    return static_cast<double>(f) > x ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

float above(double x) {
    const float f = static_cast<float>(x);
    return static_cast<double>(f) < x ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

double dot(const double* a, const Kernel::Vector_3& b) {
    return a[0] * b.x() + a[1] * b.y() + a[2] * b.z();
}

// Squared distance from x to the interval [lo, hi], summed over three axes.
double outside2(const double* x, const double* lo, const double* hi) {
    double d2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double out = x[k] < lo[k] ? lo[k] - x[k] : (x[k] > hi[k] ? x[k] - hi[k] : 0.0);
        d2 += out * out;
    }
    return d2;
}

double halfSurface(const double* e) {
    return e[0] * e[1] + e[1] * e[2] + e[2] * e[0];
}

// What a node's frame is made from: its triangles' summed normals (twice their area each) and its
// longest edge.
struct Shape {
    Kernel::Vector_3 normal{0, 0, 0}, longest{0, 0, 0};
    double longest2 = 0.0;

    void add(const Triangle& t) {
        normal = normal + CGAL::cross_product(t[1] - t[0], t[2] - t[0]);
        for (int j = 0; j < 3; ++j) {
            const auto edge = t[(j + 1) % 3] - t[j];
            if (edge.squared_length() > longest2)
                longest = edge, longest2 = edge.squared_length();
        }
    }
    void add(const Shape& other) {
        normal = normal + other.normal;
        if (other.longest2 > longest2)
            longest = other.longest, longest2 = other.longest2;
    }
};

// The frame's axes: the longest edge turned into the plane across the mean normal, across both,
// and the normal; extents empty. False when the shape has no direction to give.
bool frameAxes(const Shape& shape, BoxFrame& frame) {
    const double normal2 = shape.normal.squared_length();
    if (!(normal2 > 0.0) || !(shape.longest2 > 0.0))
        return false;
    const Kernel::Vector_3 normal = shape.normal / std::sqrt(normal2);
    Kernel::Vector_3 along = shape.longest - normal * (shape.longest * normal);
    const double along2 = along.squared_length();
    if (!(along2 > 1e-12 * shape.longest2))
        return false;
    along = along / std::sqrt(along2);
    const Kernel::Vector_3 axes[3] = {along, CGAL::cross_product(normal, along), normal};
    for (int k = 0; k < 3; ++k) {
        frame.axis[k][0] = axes[k].x(), frame.axis[k][1] = axes[k].y(), frame.axis[k][2] = axes[k].z();
        frame.lo[k] = std::numeric_limits<double>::infinity(), frame.hi[k] = -frame.lo[k];
    }
    return true;
}

// Stretches the frame's extents over p; `reach` keeps the largest coordinate seen.
void extend(BoxFrame& frame, const Point& p, double& reach) {
    for (int k = 0; k < 3; ++k) {
        const double x = dot(frame.axis[k], p - CGAL::ORIGIN);
        frame.lo[k] = std::min(frame.lo[k], x), frame.hi[k] = std::max(frame.hi[k], x);
        reach = std::max(reach, std::fabs(x));
    }
}

// The eight corners of a box given by its axes (unit vectors, or null for the coordinate axes) and
// extents.
void boxCorners(const double (*axis)[3], const double* lo, const double* hi, Point* out) {
    for (int c = 0; c < 8; ++c) {
        double p[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const double x = (c >> k) & 1 ? hi[k] : lo[k];
            for (int j = 0; j < 3; ++j)
                p[j] += axis ? axis[k][j] * x : (j == k ? x : 0.0);
        }
        out[c] = Point(p[0], p[1], p[2]);
    }
}

} // namespace

Point closestOn(const Point& p, const Triangle& t) {
    const Point &a = t[0], &b = t[1], &c = t[2];
    const auto ab = b - a, ac = c - a, ap = p - a;
    const double d1 = ab * ap, d2 = ac * ap;
    if (d1 <= 0.0 && d2 <= 0.0)
        return a;
    const auto bp = p - b;
    const double d3 = ab * bp, d4 = ac * bp;
    if (d3 >= 0.0 && d4 <= d3)
        return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0 && d1 >= 0.0 && d3 <= 0.0)
        return a + ab * (d1 / (d1 - d3));
    const auto cp = p - c;
    const double d5 = ab * cp, d6 = ac * cp;
    if (d6 >= 0.0 && d5 <= d6)
        return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0 && d2 >= 0.0 && d6 <= 0.0)
        return a + ac * (d2 / (d2 - d6));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0.0 && d4 - d3 >= 0.0 && d5 - d6 >= 0.0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const double denominator = 1.0 / (va + vb + vc);
    return a + ab * (vb * denominator) + ac * (vc * denominator);
}

Point closestOn(const Point& p, const Segment& s) {
    const auto d = s.target() - s.source();
    const double length2 = d * d;
    const double u = length2 > 0.0 ? std::clamp(((p - s.source()) * d) / length2, 0.0, 1.0) : 0.0;
    return s.source() + d * u;
}

// The number of nodes of a subtree of n primitives, which with splits at the median depends on n
// alone: known before the subtrees are built, side by side.
class SubtreeSizes {
public:
    explicit SubtreeSizes(uint32_t n) { of(n); }
    uint32_t at(uint32_t n) const { return n <= LEAF ? 1 : sizes_.at(n); }

private:
    uint32_t of(uint32_t n) {
        if (n <= LEAF)
            return 1;
        const auto found = sizes_.find(n);
        if (found != sizes_.end())
            return found->second;
        const uint32_t size = 1 + of(n / 2) + of(n - n / 2);
        sizes_.emplace(n, size);
        return size;
    }
    std::map<uint32_t, uint32_t> sizes_; // two sizes a level
};

template <typename Primitives>
ClosestTree<Primitives>::ClosestTree(const Primitives& primitives) : primitives_(primitives) {
    const uint32_t n = static_cast<uint32_t>(primitives.size());
    if (n == 0)
        return;
    std::vector<Point> centroids(n);
    tbb::parallel_for(tbb::blocked_range<uint32_t>(0, n), [&](const tbb::blocked_range<uint32_t>& range) {
        for (uint32_t i = range.begin(); i != range.end(); ++i) {
            Point c[3];
            const int m = cornersOf(primitives[i], c);
            double x = 0, y = 0, z = 0;
            for (int k = 0; k < m; ++k)
                x += c[k].x(), y += c[k].y(), z += c[k].z();
            centroids[i] = Point(x / m, y / m, z / m);
        }
    });
    order_.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        order_[i] = i;
    const SubtreeSizes sizes(n);
    nodes_.resize(sizes.at(n));
    build(0, 0, n, centroids, sizes);
    addFrames();
}

template <typename Primitives>
void ClosestTree<Primitives>::build(uint32_t index, uint32_t begin, uint32_t end,
                                    const std::vector<Point>& centroids, const SubtreeSizes& sizes) {
    Node& node = nodes_[index];
    node = {{0, 0, 0}, {0, 0, 0}, begin, end, 0, -1};
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k)
        lo[k] = std::numeric_limits<double>::infinity(), hi[k] = -lo[k];
    if (end - begin <= LEAF) {
        for (uint32_t i = begin; i < end; ++i) {
            Point c[3];
            const int m = cornersOf(primitives_[order_[i]], c);
            for (int j = 0; j < m; ++j)
                for (int k = 0; k < 3; ++k)
                    lo[k] = std::min(lo[k], c[j][k]), hi[k] = std::max(hi[k], c[j][k]);
        }
        for (int k = 0; k < 3; ++k)
            node.lo[k] = below(lo[k]), node.hi[k] = above(hi[k]);
        return;
    }
    // Split at the median centroid along the centroids' longest extent.
    for (uint32_t i = begin; i < end; ++i)
        for (int k = 0; k < 3; ++k)
            lo[k] = std::min(lo[k], centroids[order_[i]][k]),
            hi[k] = std::max(hi[k], centroids[order_[i]][k]);
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (hi[k] - lo[k] > hi[axis] - lo[axis])
            axis = k;
    const uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end,
                     [&](uint32_t a, uint32_t b) {
                         const double ca = centroids[a][axis], cb = centroids[b][axis];
                         return ca < cb || (ca == cb && a < b);
                     });
    const uint32_t left = index + 1, right = left + sizes.at(mid - begin);
    const auto buildLeft = [&] { build(left, begin, mid, centroids, sizes); };
    const auto buildRight = [&] { build(right, mid, end, centroids, sizes); };
    if (end - begin > PARALLEL)
        tbb::parallel_invoke(buildLeft, buildRight);
    else
        buildLeft(), buildRight();
    node.right = right;
    for (int k = 0; k < 3; ++k) {
        node.lo[k] = std::min(nodes_[left].lo[k], nodes_[right].lo[k]);
        node.hi[k] = std::max(nodes_[left].hi[k], nodes_[right].hi[k]);
    }
}

// Children before parents (they come after them in the array): a leaf's frame bounds its triangles'
// corners, a parent's its children's boxes (their frames where they have one), so that each node
// costs the same however many triangles it holds.
template <typename Primitives> void ClosestTree<Primitives>::addFrames() {
    if constexpr (std::is_same_v<Primitive, Triangle>) { // border segments are short: their boxes do
        std::vector<Shape> shapes(nodes_.size());
        for (uint32_t i = static_cast<uint32_t>(nodes_.size()); i-- > 0;) {
            Node& node = nodes_[i];
            Shape& shape = shapes[i];
            const bool leaf = node.right == 0;
            if (leaf)
                for (uint32_t j = node.begin; j < node.end; ++j)
                    shape.add(primitives_[order_[j]]);
            else
                shape.add(shapes[i + 1]), shape.add(shapes[node.right]);
            BoxFrame frame;
            if (!frameAxes(shape, frame))
                continue;
            double reach = 0.0;
            if (leaf) {
                for (uint32_t j = node.begin; j < node.end; ++j)
                    for (int c = 0; c < 3; ++c)
                        extend(frame, primitives_[order_[j]][c], reach);
            } else {
                for (const uint32_t child : {i + 1, node.right}) {
                    const Node& n = nodes_[child];
                    Point corners[8];
                    if (n.frame >= 0) {
                        const BoxFrame& f = frames_[n.frame];
                        boxCorners(f.axis, f.lo, f.hi, corners);
                    } else {
                        const double lo[3] = {n.lo[0], n.lo[1], n.lo[2]}, hi[3] = {n.hi[0], n.hi[1], n.hi[2]};
                        boxCorners(nullptr, lo, hi, corners);
                    }
                    for (const Point& p : corners)
                        extend(frame, p, reach);
                }
            }
            // Widened past the rounding of the projections, so the box still holds what it bounds.
            const double slack = 1e-10 * reach;
            double framed[3], aligned[3];
            for (int k = 0; k < 3; ++k) {
                frame.lo[k] -= slack, frame.hi[k] += slack;
                framed[k] = frame.hi[k] - frame.lo[k];
                aligned[k] = static_cast<double>(node.hi[k]) - node.lo[k];
            }
            if (halfSurface(framed) < THINNER * halfSurface(aligned)) {
                node.frame = static_cast<int32_t>(frames_.size());
                frames_.push_back(frame);
            }
        }
    }
}

template <typename Primitives>
double ClosestTree<Primitives>::frameBound2(const Node& node, const Point& q) const {
    const BoxFrame& f = frames_[node.frame];
    const Kernel::Vector_3 v = q - CGAL::ORIGIN;
    const double y[3] = {dot(f.axis[0], v), dot(f.axis[1], v), dot(f.axis[2], v)};
    return outside2(y, f.lo, f.hi);
}

template <typename Primitives>
typename ClosestTree<Primitives>::Hit ClosestTree<Primitives>::closest(const Point& query, const Hit& hint,
                                                                       double touch) const {
    Hit best = hint;
    double best2 = CGAL::squared_distance(query, hint.point);
    const double touch2 = touch * touch;
    const auto consider = [&](uint32_t i) {
        const Point p = closestOn(query, primitives_[i]);
        const double d2 = CGAL::squared_distance(query, p);
        if (d2 < best2)
            best = {p, i}, best2 = d2;
    };
    // The hint's own primitive first: neighbouring samples mostly share their closest one.
    if (best2 > touch2)
        consider(hint.index);
    if (best2 <= touch2 || nodes_.empty())
        return best;
    // A node's distance at least: to its box, and to its frame's box when the first leaves it in
    // reach.
    const double x[3] = {query.x(), query.y(), query.z()};
    const auto lowerBound2 = [&](const Node& node) {
        const double lo[3] = {node.lo[0], node.lo[1], node.lo[2]},
                     hi[3] = {node.hi[0], node.hi[1], node.hi[2]};
        const double aligned = outside2(x, lo, hi);
        return node.frame < 0 || aligned >= best2 ? aligned : std::max(aligned, frameBound2(node, query));
    };
    // Depth first, the nearer child first; a node is dropped once nothing in it can be closer.
    struct Pending {
        uint32_t node;
        double bound2;
    };
    Pending stack[128];
    int top = 0;
    stack[top++] = {0, lowerBound2(nodes_[0])};
    while (top > 0) {
        const Pending pending = stack[--top];
        if (pending.bound2 >= best2)
            continue;
        const Node& node = nodes_[pending.node];
        if (node.right == 0) {
            for (uint32_t i = node.begin; i < node.end; ++i)
                consider(order_[i]);
            if (best2 <= touch2)
                return best;
            continue;
        }
        Pending near{pending.node + 1, lowerBound2(nodes_[pending.node + 1])};
        Pending far{node.right, lowerBound2(nodes_[node.right])};
        if (far.bound2 < near.bound2)
            std::swap(near, far);
        if (far.bound2 < best2)
            stack[top++] = far;
        if (near.bound2 < best2)
            stack[top++] = near;
    }
    return best;
}

template class ClosestTree<IndexedTriangles>;
template class ClosestTree<std::vector<Segment>>;

} // namespace gxmeasure
