// The measured distances against ones known in closed form.
#include "SurfaceDistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

namespace {

using gxmeasure::Surface;

// An n x n grid of squares over [0, size]^2 at height z, two triangles each, UV = (x, y) / size + shift.
Surface grid(int n, double size, double z, float uvShift) {
    Surface s;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            s.points.push_back({size * i / n, size * j / n, z});
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const uint32_t a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            for (const auto& t : {std::array<uint32_t, 3>{a, b, d}, std::array<uint32_t, 3>{a, d, c}}) {
                s.triangles.push_back(t);
                for (uint32_t v : t)
                    s.uvs.push_back({float(s.points[v][0] / size) + uvShift, float(s.points[v][1] / size)});
            }
        }
    return s;
}

Surface octahedron() {
    Surface s;
    s.points = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    s.triangles = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    return s;
}

Surface icosahedron() {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0, r = std::sqrt(1.0 + t * t);
    Surface s;
    const double corners[12][3] = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                                   {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (const auto& p : corners)
        s.points.push_back({p[0] / r, p[1] / r, p[2] / r});
    s.triangles = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                   {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                   {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    return s;
}

// The polyhedron's triangles split `levels` times, every point pushed onto the unit sphere.
Surface sphere(Surface s, int levels) {
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> middle;
        auto mid = [&](uint32_t a, uint32_t b) {
            auto [it, added] = middle.emplace(std::minmax(a, b), uint32_t(s.points.size()));
            if (added) {
                std::array<double, 3> m{};
                for (int k = 0; k < 3; ++k)
                    m[k] = 0.5 * (s.points[a][k] + s.points[b][k]);
                s.points.push_back(m);
            }
            return it->second;
        };
        std::vector<std::array<uint32_t, 3>> finer;
        for (const auto& t : s.triangles) {
            const uint32_t ab = mid(t[0], t[1]), bc = mid(t[1], t[2]), ca = mid(t[2], t[0]);
            finer.insert(finer.end(), {{t[0], ab, ca}, {t[1], bc, ab}, {t[2], ca, bc}, {ab, bc, ca}});
        }
        s.triangles = finer;
    }
    for (auto& p : s.points) {
        const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (double& c : p)
            c /= length;
    }
    return s;
}

TEST(SurfaceDistanceTest, PlaneAndItsOffsetAreTheOffsetApartEverywhere) {
    const Surface a = grid(20, 10.0, 0.0, 0.0f), b = grid(7, 10.0, 0.5, 0.125f);
    const gxmeasure::Distance d = gxmeasure::measureDistance(a, b);
    for (double value :
         {d.hausdorff, d.mean, d.rms, d.aToB.hausdorff, d.bToA.mean, d.borderHausdorff, d.borderMean})
        EXPECT_NEAR(value, 0.5, 0.005);
    EXPECT_NEAR(d.diagonal, 10.0 * std::sqrt(2.0), 1e-9);
    ASSERT_TRUE(d.hasUVs);
    EXPECT_NEAR(d.uvMax, 0.125, 1e-5);
    EXPECT_NEAR(d.uvMean, 0.125, 1e-5);
}

// A polyhedron inscribed in the unit sphere is 1 - inradius away from it both ways: the sphere's
// point over a face centre and the face centre itself. Sampled densely, and as the tool samples
// (each surface by its size: the polyhedron's few triangles get the 20,000 floor).
TEST(SurfaceDistanceTest, SphereAndInscribedPolyhedronAreOneMinusTheInradiusApart) {
    const std::vector<std::pair<Surface, double>> cases = {{octahedron(), 1.0 / std::sqrt(3.0)},
                                                           {icosahedron(), 0.7946544722917661}};
    for (const auto& [polyhedron, inradius] : cases)
        for (const bool scaled : {false, true}) {
            const Surface round = sphere(polyhedron, 5);
            const gxmeasure::Sampling dense{50000, 20000}, most{};
            const gxmeasure::SurfaceTree a(
                round, scaled ? gxmeasure::scaledSampling(most, round.triangles.size()) : dense),
                b(polyhedron, scaled ? gxmeasure::scaledSampling(most, polyhedron.triangles.size()) : dense);
            const gxmeasure::Distance d = gxmeasure::measureDistance(a, b);
            const double expected = 1.0 - inradius;
            EXPECT_NEAR(d.aToB.hausdorff, expected, 0.01 * expected);
            EXPECT_NEAR(d.bToA.hausdorff, expected, 0.01 * expected);
            EXPECT_LT(d.mean, expected);
            EXPECT_FALSE(d.hasBorder);
            EXPECT_FALSE(d.hasUVs);
        }
}

TEST(SurfaceDistanceTest, SplitSeamsAreNotBordersAndRepeatedRunsAgree) {
    // Two squares side by side whose shared edge has its points duplicated, as a UV seam leaves it.
    Surface s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}};
    s.triangles = {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {4, 6, 7}};
    EXPECT_EQ(s.borderEdges().size(), 6u);
    const Surface b = grid(16, 2.0, 0.25, 0.0f);
    const gxmeasure::Distance first = gxmeasure::measureDistance(b, s),
                              second = gxmeasure::measureDistance(b, s);
    EXPECT_EQ(first.hausdorff, second.hausdorff);
    EXPECT_EQ(first.mean, second.mean);
}

} // namespace
