#include "HierarchicWeight.h"

#include <gtest/gtest.h>

using namespace gdx;

TEST(HierarchicWeight, NewObjectsWeighOneUnderEveryModeAndUniformWeightsIgnoreEverything) {
    VertexWeight uniform;
    uniform.setWeight(3, 9.0f);
    uniform.contractVertices(3, 4);
    EXPECT_EQ(uniform.getWeight(3), 1.0f);
    EXPECT_EQ(uniform.getWeight(4), 1.0f);
    HierarchicWeight w(4);
    EXPECT_EQ(w.mode(), AVERAGE);
    for (int mode : {0, 1, 2})
        for (uint32_t v = 0; v < 4; ++v) {
            w.setMode(mode);
            EXPECT_EQ(w.getWeight(v), 1.0f);
        }
    w.setMode(7);
    EXPECT_EQ(w.mode(), AVERAGE);
    // Merges made while every weight is 1 count once a weight is painted.
    w.contractVertices(0, 1);
    w.contractVertices(0, 2);
    w.setWeight(1, 4.0f);
    EXPECT_EQ(w.getWeight(0), 2.0f);
}

TEST(HierarchicWeight, MergeAndUndoUnderEachMode) {
    for (auto [mode, expected] : {std::pair{0, 1.0f}, {1, 3.0f}, {2, 2.0f}}) {
        HierarchicWeight w(3);
        w.setMode(mode);
        w.setWeight(0, 1.0f);
        w.setWeight(1, 3.0f);
        w.contractVertices(0, 1);
        EXPECT_EQ(w.getWeight(0), expected) << "mode " << mode;
        w.uncontractVertex(0);
        EXPECT_EQ(w.getWeight(0), 1.0f);
        EXPECT_EQ(w.getWeight(1), 3.0f);
        EXPECT_EQ(w.nodeCount(), 3u);
    }
}

TEST(HierarchicWeight, AverageIsOverLeavesNotOverMergesAndSettingAMergedVertexChangesIt) {
    HierarchicWeight w(3);
    w.setWeight(0, 1.0f);
    w.setWeight(1, 3.0f);
    w.setWeight(2, 4.0f);
    w.contractVertices(0, 1);
    w.contractVertices(0, 2);
    EXPECT_FLOAT_EQ(w.getWeight(0), (1.0f + 3.0f + 4.0f) / 3.0f);
    w.setMode(MIN);
    EXPECT_EQ(w.getWeight(0), 1.0f);
    w.setMode(MAX);
    EXPECT_EQ(w.getWeight(0), 4.0f);
    // Undo in reverse order restores each step.
    w.setMode(AVERAGE);
    w.uncontractVertex(0);
    EXPECT_EQ(w.getWeight(0), 2.0f);
    EXPECT_EQ(w.getWeight(2), 4.0f);
    // Setting a merged vertex changes its representative: (1 + 5) / 2.
    w.setWeight(1, 5.0f);
    EXPECT_EQ(w.getWeight(0), 3.0f);
}

TEST(HierarchicWeight, DeepMergeChainsAndTreeShapedSums) {
    // A long chain into vertex 0 and a balanced tree give the plain mean; all undone, every
    // vertex is a leaf with its own weight again.
    const uint32_t n = 1000;
    HierarchicWeight w(n);
    for (uint32_t v = 0; v < n; ++v)
        w.setWeight(v, float(v % 7));
    double mean = 0;
    for (uint32_t v = 0; v < n; ++v)
        mean += v % 7;
    mean /= n;
    std::vector<std::pair<uint32_t, uint32_t>> merges;
    for (uint32_t step = 1; step < n; step *= 2)
        for (uint32_t v = 0; v + step < n; v += 2 * step)
            merges.push_back({v, v + step});
    for (auto [a, b] : merges)
        w.contractVertices(a, b);
    EXPECT_NEAR(w.getWeight(0), mean, 1e-4);
    for (auto it = merges.rbegin(); it != merges.rend(); ++it)
        w.uncontractVertex(it->first);
    for (uint32_t v = 0; v < n; ++v)
        ASSERT_EQ(w.getWeight(v), float(v % 7));
    EXPECT_EQ(w.nodeCount(), n);
}
