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

template <typename Primitive> class ClosestTree {
public:
    struct Hit {
        Point point;
        uint32_t index = 0; // of the primitive `point` lies on
    };

    // `primitives` must outlive the tree and stay unchanged.
    explicit ClosestTree(const std::vector<Primitive>& primitives);

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

    const std::vector<Primitive>& primitives_;
    std::vector<Node> nodes_;
    std::vector<BoxFrame> frames_;
    std::vector<uint32_t> order_;
};

extern template class ClosestTree<Triangle>;
extern template class ClosestTree<Segment>;

} // namespace gxmeasure
