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

// Clamping: UVs to 0..uvWeight, normals to the normal weight's length (left alone when near unit
// length or zero), colours to 0..1; each block of a merged vector on its own; groups switched off or
// not clamped keep their places.
TEST(ModelAttributes, ClampingOfUVsNormalsAndColours) {
    const double x = std::sqrt(1.0 - 1e-13);
    const struct {
        bool uv, normal, color; // groups in use
        bool clampUVs;          // normals and colours always clamped here
        double uvWeight, normalWeight;
        std::vector<double> in, out;
    } cases[] = {
        // Two blocks back to back; the second's first UV is exactly at the top.
        {true,
         true,
         true,
         true,
         2,
         1,
         {2.5, -0.1, 0, 0, 2, 1.5, -0.5, 0.5, 1.0, 2.0, 0.0, 0, 0, 2, 1.5, -0.5, 0.5, 1.0},
         {2, 0, 0, 0, 1, 1, 0, 0.5, 1, 2, 0, 0, 0, 1, 1, 0, 0.5, 1}},
        {true, true, true, false, 1, 1, {5, -5, 3, 0, 4, 2, 2, 2, 2}, {5, -5, 0.6, 0, 0.8, 1, 1, 1, 1}},
        {false, false, true, false, 1, 1, {1.5, -1, 0.5, 1}, {1, 0, 0.5, 1}},
        {false, true, false, true, 1, 1, {x, 0, 0}, {x, 0, 0}},
        {false, true, false, true, 1, 1, {0, 0, 0}, {0, 0, 0}}, // opposite normals averaged out: no NaN
        {false, true, false, true, 1, 2, {1, 0, 0}, {2, 0, 0}},
    };
    for (const auto& c : cases) {
        Model m = oneTriangle();
        m.setAttributeUse(c.uv, c.normal, c.color);
        m.setAttributeWeights(c.uvWeight, c.normalWeight, 1.0);
        m.setAttributeClamping(c.clampUVs, true, true);
        VectorN v(uint32_t(c.in.size()));
        for (uint32_t i = 0; i < v.size(); ++i)
            v[i] = c.in[i];
        m.clampAttributes(v);
        for (uint32_t i = 0; i < v.size(); ++i)
            EXPECT_NEAR(v[i], c.out[i], 1e-15) << "entry " << i << " of " << c.in.size();
    }
}
