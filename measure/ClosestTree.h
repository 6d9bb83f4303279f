// ClosestTree: closest-point queries against a fixed set of triangles or segments.
//
//   primitives --median splits on centroids--> bounding volume tree (boxes in float, rounded outward)
//   query point + hint --nearest child first, stop once within `touch`--> closest point, primitive
//
// Every node has an axis-aligned box. A node of triangles also gets a box in its own frame (along
// its longest edge and its mean normal) when that box is much thinner: a fan of long thin triangles
// has boxes that each cover half the fan when axis-aligned, so a point near its rim would lie inside
// thousands of them; in their own frames they are as thin as the triangles.
#pragma once

#include <CGAL/Simple_cartesian.h>

#include <array>
#include <cstdint>
#include <vector>

namespace gxmeasure {

using Kernel = CGAL::Simple_cartesian<double>;
using Point = Kernel::Point_3;
using Triangle = Kernel::Triangle_3;
using Segment = Kernel::Segment_3;

// The point of triangle abc closest to p, by the region of the triangle p projects into (its
// inside, one of its edges or one of its corners).
Point closestOn(const Point& p, const Triangle& t);
// The point of segment s closest to p.
Point closestOn(const Point& p, const Segment& s);

// A box in a frame of its own: three orthonormal axes and the extent along each.
struct BoxFrame {
    double axis[3][3];
    double lo[3], hi[3];
};

// Triangles as corner indices into a list of points: 12 bytes a triangle, where CGAL's triangles
// take 72 (a million-triangle surface: 12 MB instead of 72). Read as CGAL triangles, with the same
// coordinates.
struct IndexedTriangles {
    using value_type = Triangle;
    explicit IndexedTriangles(const std::vector<std::array<double, 3>>& points) : points(&points) {}
    size_t size() const { return corners.size(); }
    bool empty() const { return corners.empty(); }
    Triangle operator[](size_t i) const {
        const auto& c = corners[i];
        return Triangle(point(c[0]), point(c[1]), point(c[2]));
    }
    Point point(uint32_t index) const {
        const auto& p = (*points)[index];
        return Point(p[0], p[1], p[2]);
    }

    const std::vector<std::array<double, 3>>* points;
    std::vector<std::array<uint32_t, 3>> corners;
};

// `Primitives`: an indexable list of triangles or segments (std::vector<Segment>, IndexedTriangles).
template <typename Primitives> class ClosestTree {
public:
    using Primitive = typename Primitives::value_type;
    struct Hit {
        Point point;
        uint32_t index = 0; // of the primitive `point` lies on
    };

    // `primitives` must outlive the tree and stay unchanged.
    explicit ClosestTree(const Primitives& primitives);

    // The closest point to `query` of all primitives, starting from `hint` (a point on one of them).
    // The search stops at the first point within `touch` of the query: a distance is exact unless
    // it is below `touch`.
    Hit closest(const Point& query, const Hit& hint, double touch) const;

private:
    struct Node {
        float lo[3], hi[3];
        uint32_t begin, end; // the node's primitives: order_[begin, end)
        uint32_t right;      // the second child (the first is the next node); 0 for a leaf
        int32_t frame;       // index into frames_, -1 without one
    };

    void build(uint32_t index, uint32_t begin, uint32_t end, const std::vector<Point>& centroids,
               const class SubtreeSizes& sizes);
    void addFrames();
    // The squared distance from q to the node's frame box.
    double frameBound2(const Node& node, const Point& q) const;

    const Primitives& primitives_;
    std::vector<Node> nodes_;
    std::vector<BoxFrame> frames_;
    std::vector<uint32_t> order_;
};

extern template class ClosestTree<IndexedTriangles>;
extern template class ClosestTree<std::vector<Segment>>;

} // namespace gxmeasure
