#include "Model.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gdx;

namespace {
// One triangle whose vertex 0 wedge holds uv (0.25, 0.75), normal (0, 0.6, 0.8), colour (0.1, 0.2, 0.3, 0.4).
Model oneTriangle() {
    Model m(3, 1);
    for (int i = 0; i < 3; ++i)
        m.positions().push_back(FloatPoint{float(i), float(i * i), 0, 1});
    m.setNumUVSets(1);
    const DoubleVector n{0, 0.6, 0.8};
    const Color c{0.1f, 0.2f, 0.3f, 0.4f};
    m.addFace(0, 1, 2, m.addWedge(0, n, c, {0.25f, 0.75f}), m.addWedge(1, n, c, {0, 0}),
              m.addWedge(2, n, c, {0, 0}), true);
    m.splitDisconnectedWedges();
    return m;
}
} // namespace

TEST(ModelAttributes, VectorLayoutForEveryGroupCombinationAndScale) {
    Model m = oneTriangle();
    m.setAttributeWeights(2.0, 3.0, 5.0);
    const double uv[2] = {0.25 * 2, 0.75 * 2};
    const double normal[3] = {0, 0.6 * 3, 0.8 * 3};
    const double color[4] = {double(0.1f) * 5, double(0.2f) * 5, double(0.3f) * 5, double(0.4f) * 5};
    for (int mask = 0; mask < 8; ++mask) {
        const bool useUV = mask & 1, useN = mask & 2, useC = mask & 4;
        m.setAttributeUse(useUV, useN, useC);
        std::vector<double> expected;
        if (useUV)
            expected.insert(expected.end(), uv, uv + 2);
        if (useN)
            expected.insert(expected.end(), normal, normal + 3);
        if (useC)
            expected.insert(expected.end(), color, color + 4);
        ASSERT_EQ(m.attributeDimension(), expected.size());
        VectorN vec(1); // the wrong size: getAttributes resizes
        m.getAttributes(0, vec);
        ASSERT_EQ(vec.size(), expected.size()) << "mask " << mask;
        for (uint32_t i = 0; i < vec.size(); ++i)
            EXPECT_DOUBLE_EQ(vec[i], expected[i]) << "mask " << mask << " entry " << i;

        // setAttributes is the inverse for the groups in use and leaves the others alone.
        for (uint32_t i = 0; i < vec.size(); ++i)
            vec[i] *= 0.5;
        m.setAttributes(1, vec);
        VectorN back;
        m.getAttributes(1, back);
        for (uint32_t i = 0; i < vec.size(); ++i)
            EXPECT_NEAR(back[i], vec[i], 1e-6);
    }
    // The extra UV sets are never touched by setAttributes.
    EXPECT_EQ(m.uArray(0)[1], 0.0f);
}

TEST(ModelAttributes, ClampingOfUVsNormalsAndColours) {
    Model m = oneTriangle();
    m.setAttributeUse(true, true, true);
    m.setAttributeWeights(2.0, 1.0, 1.0);
    m.setAttributeClamping(true, true, true);
    // Two blocks back to back: each is clamped on its own.
    VectorN v(18);
    const double block[9] = {2.5, -0.1, 0, 0, 2, 1.5, -0.5, 0.5, 1.0};
    for (int i = 0; i < 9; ++i) {
        v[i] = block[i];
        v[9 + i] = block[i];
    }
    v[9] = 2.0; // exactly at the top: unchanged
    v[10] = 0.0;
    m.clampAttributes(v);
    for (int b = 0; b < 2; ++b) {
        const double* e = v.data() + 9 * b;
        EXPECT_EQ(e[0], 2.0);
        EXPECT_EQ(e[1], 0.0);
        EXPECT_DOUBLE_EQ(e[4], 1.0); // (0, 0, 2) -> (0, 0, 1)
        EXPECT_EQ(e[5], 1.0);
        EXPECT_EQ(e[6], 0.0);
        EXPECT_EQ(e[7], 0.5);
        EXPECT_EQ(e[8], 1.0);
    }
}

TEST(ModelAttributes, ClampingSwitchedOffKeepsGroupPositions) {
    Model m = oneTriangle();
    m.setAttributeUse(true, true, true);
    m.setAttributeClamping(false, true, true);
    VectorN v(9);
    const double block[9] = {5, -5, 3, 0, 4, 2, 2, 2, 2};
    for (int i = 0; i < 9; ++i)
        v[i] = block[i];
    m.clampAttributes(v);
    EXPECT_EQ(v[0], 5.0);
    EXPECT_EQ(v[1], -5.0);
    EXPECT_DOUBLE_EQ(v[2], 0.6); // the normal is still found after the unclamped UVs
    EXPECT_DOUBLE_EQ(v[4], 0.8);
    EXPECT_EQ(v[5], 1.0);

    // Normals off, colours only: colours are the first entries of the block.
    m.setAttributeUse(false, false, true);
    VectorN c(4);
    c[0] = 1.5;
    c[1] = -1;
    c[2] = 0.5;
    c[3] = 1;
    m.clampAttributes(c);
    EXPECT_EQ(c[0], 1.0);
    EXPECT_EQ(c[1], 0.0);
}

TEST(ModelAttributes, NormalsNearUnitLengthOrZeroAreLeftAlone) {
    Model m = oneTriangle();
    m.setAttributeUse(false, true, false);
    VectorN v(3);
    const double x = std::sqrt(1.0 - 1e-13);
    v[0] = x;
    v[1] = 0;
    v[2] = 0;
    m.clampAttributes(v);
    EXPECT_EQ(v[0], x);

    // Opposite normals averaged out: nothing to renormalise, and no NaN.
    v[0] = v[1] = v[2] = 0.0;
    m.clampAttributes(v);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[2], 0.0);

    // With normalWeight 2 a unit normal is scaled to length 2.
    m.setAttributeWeights(1.0, 2.0, 1.0);
    v[0] = 1;
    m.clampAttributes(v);
    EXPECT_DOUBLE_EQ(v[0], 2.0);
}
