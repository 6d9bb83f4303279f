// Ear clipping on its own: coverage, winding and refusal, in any plane.
#include "Triangulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using gxhost::triangulatePolygon;
using gxhost::Triangulation;
using Corners = std::vector<std::array<double, 3>>;

namespace {

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b,
                            const std::array<double, 3>& c) {
    double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

// Twice the signed area of each triangle along `normal`, summed; every triangle must face `normal`.
double coveredArea(const Corners& corners, const Triangulation& t, const std::array<double, 3>& normal) {
    double total = 0.0;
    for (const auto& tri : t.triangles) {
        auto n = cross(corners[tri[0]], corners[tri[1]], corners[tri[2]]);
        double along = n[0] * normal[0] + n[1] * normal[1] + n[2] * normal[2];
        EXPECT_GT(along, 0.0) << "triangle keeps the polygon's winding";
        total += along;
    }
    return 0.5 * total;
}

Corners inPlane(const std::vector<std::array<double, 2>>& xy, int axis) {
    Corners out;
    for (const auto& p : xy) {
        if (axis == 2)
            out.push_back({p[0], p[1], 0.0});
        else if (axis == 1)
            out.push_back({p[1], 0.0, p[0]});
        else
            out.push_back({0.0, p[0], p[1]});
    }
    return out;
}

TEST(TriangulatorTest, ConvexPolygonFansFromCornerZero) {
    Corners hexagon;
    for (int i = 0; i < 6; ++i)
        hexagon.push_back({std::cos(i * M_PI / 3), std::sin(i * M_PI / 3), 0.0});
    Triangulation t = triangulatePolygon(hexagon);
    ASSERT_TRUE(t.valid);
    ASSERT_EQ(t.triangles.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(t.triangles[k], (std::array<int, 3>{0, k + 1, k + 2}));
}

TEST(TriangulatorTest, CombShapeIsCoveredExactlyInEveryAxisPlane) {
    //  _   _   _
    // | |_| |_| |     teeth of width 1 and height 2 on a base of height 1
    // |_________|
    std::vector<std::array<double, 2>> comb = {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1},
                                               {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    for (int axis = 0; axis < 3; ++axis) {
        Corners corners = inPlane(comb, axis);
        Triangulation t = triangulatePolygon(corners);
        ASSERT_TRUE(t.valid) << axis;
        EXPECT_EQ(t.triangles.size(), 10u);
        std::array<double, 3> normal{0, 0, 0};
        normal[axis] = 1.0;
        EXPECT_DOUBLE_EQ(coveredArea(corners, t, normal), 11.0) << axis;
    }
}

TEST(TriangulatorTest, TiltedRandomStarPolygonsAreCovered) {
    // Star-shaped polygons with random radii: concave, but every one has a triangulation.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> radius(0.2, 1.0);
    for (int round = 0; round < 50; ++round) {
        int n = 5 + round % 12;
        Corners corners;
        double area = 0.0;
        std::vector<std::array<double, 2>> flat;
        for (int i = 0; i < n; ++i) {
            double r = radius(rng), a = 2.0 * M_PI * i / n;
            flat.push_back({r * std::cos(a), r * std::sin(a)});
        }
        for (int i = 0; i < n; ++i) {
            const auto &p = flat[i], &q = flat[(i + 1) % n];
            area += 0.5 * (p[0] * q[1] - q[0] * p[1]);
            // Tilt the plane: z = 0.3 x + 0.2 y.
            corners.push_back({p[0], p[1], 0.3 * p[0] + 0.2 * p[1]});
        }
        Triangulation t = triangulatePolygon(corners);
        ASSERT_TRUE(t.valid) << round;
        EXPECT_EQ(t.triangles.size(), static_cast<size_t>(n - 2));
        // Measured along the plane's normal (-0.3, -0.2, 1), of squared length 1.13, the covered area is
        // the area in the xy plane times 1.13.
        EXPECT_NEAR(coveredArea(corners, t, {-0.3, -0.2, 1.0}), area * 1.13, 1e-9) << "overlaps or gaps";
    }
}

// Small polygons: whether each has a triangulation, how many triangles cover how much area (signed
// along +z: negative for a clockwise polygon), and that a corner repeating an earlier one's position
// is never used.
TEST(TriangulatorTest, SmallPolygonsAreCoveredOrRefused) {
    const struct {
        const char* what;
        bool valid, zeroArea;
        size_t triangles;
        double area;
        Corners corners;
    } cases[] = {
        {"triangle", true, false, 1, 0.5, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {"clockwise triangle", true, false, 1, -2.0, {{0, 0, 0}, {0, 2, 0}, {2, 0, 0}}},
        {"clockwise", true, false, 2, -1.0, {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}},
        {"mid-edge", true, false, 3, 4.0, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}},
        {"wrap repeat", true, false, 2, 1.0, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}}},
        {"tiny", true, false, 2, 1e-14, {{0, 0, 0}, {1e-7, 0, 0}, {1e-7, 1e-7, 0}, {0, 1e-7, 0}}},
        {"two corners", false, true, 0, 0.0, {{0, 0, 0}, {1, 1, 1}}},
        {"line", false, true, 0, 0.0, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
        {"point", false, true, 0, 0.0, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}},
        // A figure eight whose halves differ in size, so its area does not cancel out.
        {"crossing edges", false, false, 0, 0.0, {{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Triangulation t = triangulatePolygon(c.corners);
        EXPECT_EQ(t.valid, c.valid);
        EXPECT_EQ(t.zeroArea, c.zeroArea);
        ASSERT_EQ(t.triangles.size(), c.triangles);
        const double sign = c.area < 0 ? -1.0 : 1.0;
        EXPECT_NEAR(coveredArea(c.corners, t, {0, 0, sign}), sign * c.area, 1e-9 * sign * c.area);
        for (const auto& tri : t.triangles)
            for (int corner : tri)
                for (int earlier = 0; earlier < corner; ++earlier)
                    EXPECT_NE(c.corners[earlier], c.corners[corner]) << corner << " repeats " << earlier;
    }
}

} // namespace
