#include "Quadric.h"
#include "WedgeQuadrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace gdx;

namespace {
VectorN vec(std::initializer_list<double> values) {
    VectorN v(uint32_t(values.size()));
    uint32_t i = 0;
    for (double x : values)
        v[i++] = x;
    return v;
}
const VectorN kNone;
} // namespace

TEST(Quadric, PlaneQuadricIsSquaredDistance) {
    const Quadric q(0, 0, 1, 0, 1.0);
    EXPECT_DOUBLE_EQ(q.evaluate({5, 7, 2}, kNone), 4.0);
    EXPECT_EQ(q.evaluate({5, 7, 0}, kNone), 0.0);
    // Weight scales the distance; a tiny error reads as none.
    EXPECT_DOUBLE_EQ(Quadric(0, 0, 1, -1, 3.0).evaluate({0, 0, 3}, kNone), 12.0);
    const Quadric tiny(0, 0, 1, 0, 1e-13);
    EXPECT_EQ(tiny.evaluate({0, 0, 1}, kNone), 0.0);
}

TEST(Quadric, TriangleWithLinearAttributeStoresNegatedGradient) {
    const Quadric q({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, vec({0}), vec({1}), vec({0}), 2.0);
    ASSERT_EQ(q.numAttributes(), 1u);
    EXPECT_EQ(q.gradient(0), (DoubleVector{-1, 0, 0}));
    EXPECT_DOUBLE_EQ(q.offset(0), 0.0);
    EXPECT_DOUBLE_EQ(q.a()[0], 1.0); // the gradient term
    EXPECT_DOUBLE_EQ(q.a()[5], 2.0); // the weighted plane term
    EXPECT_EQ(q.count(0), 1u);
    // On the plane, with the interpolated attribute value, the error is zero.
    EXPECT_EQ(q.evaluate({0.25f, 0.5f, 0}, vec({0.25})), 0.0);
    EXPECT_DOUBLE_EQ(q.evaluate({0.25f, 0.5f, 0}, vec({1.25})), 1.0);
}

TEST(Quadric, EvaluateMatchesTheSumOverTriangles) {
    // E = sum of w (n.p + d)^2 + sum_j (g_j . p + d_j - s_j)^2, built from random triangles.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> r(-2, 2);
    auto point = [&] { return DoubleVector{r(rng), r(rng), r(rng)}; };
    for (int trial = 0; trial < 20; ++trial) {
        const DoubleVector p0 = point(), p1 = point(), p2 = point();
        const VectorN s0 = vec({r(rng), r(rng)}), s1 = vec({r(rng), r(rng)}), s2 = vec({r(rng), r(rng)});
        const double w = 0.5 + std::fabs(r(rng));
        const Quadric q(p0, p1, p2, s0, s1, s2, w);
        const FloatVector x{float(r(rng)), float(r(rng)), float(r(rng))};
        const VectorN s = vec({r(rng), r(rng)});
        // Reference: plane distance and the barycentric interpolation of the attributes at the
        // projection of x onto the plane.
        const DoubleVector e1 = p1 - p0, e2 = p2 - p0;
        DoubleVector n = cross(e1, e2);
        const double len = std::sqrt(dot(n, n));
        n = {n.x / len, n.y / len, n.z / len};
        const DoubleVector px{x.x, x.y, x.z};
        const double dist = dot(n, px - p0);
        const DoubleVector proj{px.x - dist * n.x, px.y - dist * n.y, px.z - dist * n.z};
        const DoubleVector d = proj - p0;
        const double d11 = dot(e1, e1), d12 = dot(e1, e2), d22 = dot(e2, e2), dp1 = dot(d, e1),
                     dp2 = dot(d, e2);
        const double den = d11 * d22 - d12 * d12;
        const double b1 = (d22 * dp1 - d12 * dp2) / den, b2 = (d11 * dp2 - d12 * dp1) / den;
        double expected = w * dist * dist;
        for (uint32_t j = 0; j < 2; ++j) {
            const double value = s0[j] + b1 * (s1[j] - s0[j]) + b2 * (s2[j] - s0[j]);
            expected += (value - s[j]) * (value - s[j]);
        }
        EXPECT_NEAR(q.evaluate(x, s), expected, 1e-8 * (1 + expected)) << "trial " << trial;

        // The optimal attributes at x are the interpolated values there.
        VectorN best;
        q.optimalAttributes(x, best);
        EXPECT_NEAR(q.evaluate(x, best), w * dist * dist, 1e-8 * (1 + expected));
    }
}

TEST(Quadric, OptimizeFindsThePointOfThreePlanesAndFailsOnOne) {
    Quadric q(1, 0, 0, -1, 1.0);
    q += Quadric(0, 1, 0, -2, 1.0);
    q += Quadric(0, 0, 1, -3, 1.0);
    FloatVector p{9, 9, 9};
    VectorN s;
    ASSERT_TRUE(q.optimize(p, s));
    EXPECT_FLOAT_EQ(p.x, 1.0f);
    EXPECT_FLOAT_EQ(p.y, 2.0f);
    EXPECT_FLOAT_EQ(p.z, 3.0f);

    FloatVector untouched{9, 9, 9};
    EXPECT_FALSE(Quadric(0, 0, 1, 0, 1.0).optimize(untouched, s));
    EXPECT_EQ(untouched.x, 9.0f);
}

TEST(Quadric, OptimizeSolvesPositionAndAttributesJointly) {
    // A tetrahedron corner: three faces meeting at (1, 1, 1), attribute f(p) = x + 2y on all.
    const DoubleVector apex{1, 1, 1}, ax{2, 1, 1}, ay{1, 2, 1}, az{1, 1, 2};
    auto f = [](const DoubleVector& p) { return p.x + 2 * p.y; };
    Quadric q(1);
    for (auto [u, v] : {std::pair{ax, ay}, std::pair{ay, az}, std::pair{az, ax}})
        q += Quadric(apex, u, v, vec({f(apex)}), vec({f(u)}), vec({f(v)}), 1.0);
    EXPECT_EQ(q.count(0), 3u);
    FloatVector p;
    VectorN s(1);
    ASSERT_TRUE(q.optimize(p, s));
    EXPECT_NEAR(p.x, 1.0f, 1e-5);
    EXPECT_NEAR(p.y, 1.0f, 1e-5);
    EXPECT_NEAR(p.z, 1.0f, 1e-5);
    EXPECT_NEAR(s[0], 3.0, 1e-5);
    EXPECT_EQ(q.evaluate(p, s), 0.0);
}

TEST(Quadric, WedgeQuadricsAddSubtractAndAppendBlocksWithTheirCounts) {
    const Quadric t1({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, vec({0, 1}), vec({1, 1}), vec({0, 0}), 1.0);
    const Quadric t2({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, vec({1, 0}), vec({0, 0}), vec({0, 1}), 1.0);
    WedgeQuadrics wedges;
    wedges.assign(2, 2);
    wedges.add(0, t1);
    wedges.add(0, t2);
    wedges.add(1, t1);
    Quadric k(2), r(2);
    k += t1;
    k += t2;
    r += t1;
    const Quadric k0 = wedges[0];
    EXPECT_EQ(k0.count(0), 2u);
    for (uint32_t j = 0; j < 2; ++j)
        EXPECT_EQ(k0.gradient(j).y, k.gradient(j).y);

    // The sum of two wedges as one block, then a wedge as a second block.
    Quadric merged(0);
    wedges.appendSumTo(merged, 0, 1);
    wedges.appendTo(merged, 1);
    ASSERT_EQ(merged.numAttributes(), 4u);
    ASSERT_EQ(merged.numBlocks(), 2u);
    EXPECT_EQ(merged.count(1), 3u); // first block
    EXPECT_EQ(merged.count(2), 1u); // second block
    Quadric sum = k;
    sum += r;
    EXPECT_EQ(merged.gradient(0).x, sum.gradient(0).x);
    EXPECT_EQ(merged.offset(1), sum.offset(1));
    EXPECT_EQ(merged.gradient(2).x, r.gradient(0).x);
    EXPECT_DOUBLE_EQ(merged.a()[0], k.a()[0] + 2 * r.a()[0]);

    // Subtracting what was added returns the counts exactly and the values within rounding.
    wedges.add(0, 1);
    wedges.subtract(0, 1);
    const Quadric back = wedges[0];
    EXPECT_EQ(back.count(0), 2u);
    for (uint32_t j = 0; j < 2; ++j)
        EXPECT_NEAR(back.gradient(j).y, k.gradient(j).y, 1e-12);
    EXPECT_NEAR(back.c(), k.c(), 1e-12);

    // Many blocks leave the inline storage and still copy as values; reset empties the layout.
    Quadric big(0);
    for (int i = 0; i < 10; ++i)
        wedges.appendTo(big, 0);
    Quadric copy = big;
    big.reset(0);
    EXPECT_EQ(copy.numAttributes(), 20u);
    EXPECT_EQ(copy.numBlocks(), 10u);
    EXPECT_EQ(big.numAttributes(), 0u);
    EXPECT_EQ(big.numBlocks(), 0u);
}

TEST(Quadric, ZeroAreaTrianglesStayFiniteAndVoteForTheirCornerMean) {
    // Collinear corners and a triangle with two equal corners.
    const Quadric line({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, vec({0.1, 1}), vec({0.2, 1}), vec({0.6, 1}), 0.0);
    const Quadric pinched({1, 0, 0}, {1, 0, 0}, {0, 1, 0}, vec({0.3, 0}), vec({0.3, 0}), vec({0.9, 0}), 0.0);
    for (const Quadric* q : {&line, &pinched}) {
        for (uint32_t j = 0; j < q->numAttributes(); ++j) {
            EXPECT_EQ(q->gradient(j).x, 0.0);
            EXPECT_TRUE(std::isfinite(q->offset(j)));
        }
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(std::isfinite(q->a()[i]));
    }
    VectorN s;
    line.optimalAttributes({5, -3, 2}, s);
    EXPECT_NEAR(s[0], 0.3, 1e-12);
    EXPECT_NEAR(s[1], 1.0, 1e-12);
    pinched.optimalAttributes({0, 0, 0}, s);
    EXPECT_NEAR(s[0], 0.5, 1e-12);

    // Added to a healthy wedge quadric it leaves everything finite.
    Quadric wedge(2);
    wedge += Quadric({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, vec({0, 0}), vec({1, 0}), vec({0, 1}), 0.5);
    wedge += line;
    VectorN best(2);
    FloatVector p;
    if (wedge.optimize(p, best)) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(best[0]) && std::isfinite(best[1]));
    }
    EXPECT_TRUE(std::isfinite(wedge.evaluate({0.2f, 0.2f, 0}, vec({0.2, 0.2}))));
}

TEST(Quadric, BlockSolveAgreesWithTheFullSystem) {
    // Merged quadrics of 1 to 12 wedges (blocks of 2 or 9 attributes) over random triangles, with
    // one flat configuration (a single plane) that both must call singular.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    auto point = [&] { return DoubleVector{u(random), u(random), 0.3 * u(random)}; };
    for (uint32_t dimension : {2u, 9u})
        for (uint32_t wedges = 1; wedges <= 12; ++wedges) {
            WedgeQuadrics each;
            each.assign(wedges, dimension);
            Quadric merged(0);
            for (uint32_t w = 0; w < wedges; ++w) {
                for (int t = 0; t < 3; ++t) {
                    VectorN s[3];
                    for (VectorN& x : s) {
                        x.resize(dimension);
                        for (uint32_t j = 0; j < dimension; ++j)
                            x[j] = u(random);
                    }
                    each.add(w, Quadric(point(), point(), point(), s[0], s[1], s[2], 1.0));
                }
                each.appendTo(merged, w);
            }
            FloatVector full, blocks;
            VectorN sFull(merged.numAttributes()), sBlocks(merged.numAttributes());
            ASSERT_TRUE(merged.optimize(full, sFull));
            ASSERT_TRUE(merged.optimizeBlocks(blocks, sBlocks)) << wedges;
            for (auto [b, f] : {std::pair{blocks.x, full.x}, {blocks.y, full.y}, {blocks.z, full.z}})
                EXPECT_NEAR(b, f, 1e-4 * (1 + std::fabs(f))) << dimension << " " << wedges;
            for (uint32_t j = 0; j < merged.numAttributes(); ++j)
                ASSERT_NEAR(sBlocks[j], sFull[j], 1e-4 * (1 + std::fabs(sFull[j]))) << j;
        }
    FloatVector untouched{9, 9, 9};
    VectorN s;
    EXPECT_FALSE(Quadric(0, 0, 1, 0, 1.0).optimizeBlocks(untouched, s));
    EXPECT_EQ(untouched.x, 9.0f);
}
