// The closest-point tree against a search through every primitive.
#include "ClosestTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using gxmeasure::Point;
using gxmeasure::Triangle;
using Vector = gxmeasure::Kernel::Vector_3;

// A disc of n rim points on a tilted plane, fanned from its first rim point: long thin triangles
// whose axis-aligned boxes overlap by the thousand.
std::vector<Triangle> fan(int n) {
    std::vector<Point> rim;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * M_PI * i / n;
        rim.emplace_back(std::cos(a), std::sin(a), 0.3 * std::cos(a) + 0.2 * std::sin(a));
    }
    std::vector<Triangle> triangles;
    for (int i = 1; i + 1 < n; ++i)
        triangles.emplace_back(rim[0], rim[i], rim[i + 1]);
    return triangles;
}

std::vector<Triangle> soup(int n, std::mt19937& random) {
    std::uniform_real_distribution<double> at(-1.0, 1.0), offset(-0.2, 0.2);
    std::vector<Triangle> triangles;
    for (int i = 0; i < n; ++i) {
        const Point a(at(random), at(random), at(random));
        triangles.emplace_back(a, a + Vector(offset(random), offset(random), offset(random)),
                               a + Vector(offset(random), offset(random), offset(random)));
    }
    return triangles;
}

// The triangles as the tree takes them: three points of their own each.
gxmeasure::IndexedTriangles indexed(const std::vector<Triangle>& triangles,
                                    std::vector<std::array<double, 3>>& points) {
    gxmeasure::IndexedTriangles set(points);
    for (const Triangle& t : triangles) {
        for (int c = 0; c < 3; ++c)
            points.push_back({t[c].x(), t[c].y(), t[c].z()});
        const auto first = static_cast<uint32_t>(points.size() - 3);
        set.corners.push_back({first, first + 1, first + 2});
    }
    return set;
}

TEST(ClosestTreeTest, FindsWhatASearchThroughEveryTriangleFinds) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> at(-1.2, 1.2), near(-1e-6, 1e-6), unit(0.0, 1.0);
    for (const auto& triangles : {fan(3000), soup(3000, random)}) {
        std::vector<std::array<double, 3>> points;
        const gxmeasure::IndexedTriangles set = indexed(triangles, points);
        const gxmeasure::ClosestTree<gxmeasure::IndexedTriangles> tree(set);
        gxmeasure::ClosestTree<gxmeasure::IndexedTriangles>::Hit hint{triangles[0][0], 0};
        for (int q = 0; q < 400; ++q) {
            // Points anywhere, and points just off a triangle, where a search has the most to rule out.
            const Triangle& t = triangles[random() % triangles.size()];
            const double u = unit(random), v = unit(random) * (1.0 - u);
            const Point query = q % 2 ? Point(at(random), at(random), at(random))
                                      : t[0] + (t[1] - t[0]) * u + (t[2] - t[0]) * v +
                                            Vector(near(random), near(random), near(random));
            double best2 = INFINITY;
            for (const Triangle& each : triangles)
                best2 = std::min(best2, CGAL::squared_distance(query, gxmeasure::closestOn(query, each)));
            hint = tree.closest(query, hint, 0.0);
            EXPECT_EQ(CGAL::squared_distance(query, hint.point), best2) << q;
            EXPECT_EQ(CGAL::squared_distance(query, gxmeasure::closestOn(query, triangles[hint.index])),
                      best2);
        }
    }
}

} // namespace
