// The sequence of contraction records it keeps.
#include "ResolutionChanger.h"
#include "HierarchicWeight.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include "ContractionSequence.h"
#include <cmath>

using namespace gdx;

namespace {
// A closed pentagonal bipyramid: 7 vertices, 10 faces; every contraction removes two faces.
test::MeshSource bipyramid() {
    test::MeshSource m;
    for (int i = 0; i < 5; ++i) {
        const double angle = 2 * 3.14159265358979 * i / 5;
        m.points.push_back(FloatPoint{float(std::cos(angle)), float(std::sin(angle)), 0, 1});
    }
    m.points.push_back(FloatPoint{0, 0, 1.5f, 1});
    m.points.push_back(FloatPoint{0, 0, -1.2f, 1});
    for (uint32_t i = 0; i < 5; ++i) {
        m.triangles.push_back({{i, (i + 1) % 5, 5}, {}});
        m.triangles.push_back({{(i + 1) % 5, i, 6}, {}});
    }
    return m;
}

struct Fixture {
    std::unique_ptr<Model> model;
    HierarchicWeight weights;
    QSlim engine;
    ContractionSequence sequence;
    explicit Fixture(const test::MeshSource& source)
        : model(test::buildModel(source)), weights(model->numVertices()), engine(*model, weights) {
        engine.setup();
    }
};
} // namespace

TEST(ResolutionChanger, TargetFaceCountTruncatesAndClamps) {
    const auto model = test::buildModel(bipyramid());
    EXPECT_EQ(targetFaceCount(*model, 0.95), 9u);
    EXPECT_EQ(targetFaceCount(*model, 0.9), 9u);
    EXPECT_EQ(targetFaceCount(*model, 1.7), 10u);
    EXPECT_EQ(targetFaceCount(*model, -0.5), 0u);
    EXPECT_EQ(targetFaceCount(*model, NAN), 0u);
}

TEST(ResolutionChanger, TiesEndOnTheLargerFaceCount) {
    Fixture f(bipyramid());
    const std::pair<double, uint32_t> steps[] = {
        {0.9, 10}, // target 9 from 10: one contraction would end 1 below, as far as staying is above
        {0.8, 8},  // down to 8
        {0.9, 10}, // target 9 from 8: the undo overshoots by 1, as far as staying falls short
        {0.7, 8},  // target 7 from 10: 8 fits; 6 would be as far below as 8 is above
        {0.5, 6},  // target 5 from 8: 6 is 1 above, 4 would be 1 below
    };
    for (const auto& [resolution, faces] : steps) {
        EXPECT_TRUE(changeResolution(f.engine, f.sequence, resolution));
        EXPECT_EQ(f.engine.activeFaces(), faces) << resolution;
        EXPECT_EQ(f.sequence.size(), (10u - faces) / 2) << resolution;
    }
}

TEST(ResolutionChanger, ZeroContractsAsFarAsPossibleAndOneUndoesEverything) {
    Fixture f(test::seamedGridWithBowtie(10));
    const uint32_t full = f.engine.activeFaces();
    changeResolution(f.engine, f.sequence, 0.0);
    EXPECT_LT(f.engine.activeFaces(), full / 20);
    PairContraction r;
    // Nothing further on offer (empty queue or a pair without both vertices).
    EXPECT_TRUE(f.engine.queue().size() == 0 || !f.engine.nextContraction(r) || f.engine.activeFaces() == 0);
    changeResolution(f.engine, f.sequence, 2.0);
    EXPECT_EQ(f.engine.activeFaces(), full);
    EXPECT_TRUE(f.sequence.empty());
    for (uint32_t face = 0; face < f.model->numFaces(); ++face)
        EXPECT_TRUE(f.model->faceState(face).active);
}

namespace {
PairContraction record(uint32_t seed, uint32_t changed, uint32_t pairs, uint32_t free) {
    PairContraction r;
    r.keptVertex = seed;
    r.removedVertex = seed + 1;
    r.displacement = FloatVector{0.5f * float(seed), -1.0f, 2.0f};
    r.removedFaces.push_back(seed * 10);
    r.removedFaces.push_back(seed * 10 + 1);
    for (uint32_t i = 0; i < changed; ++i)
        r.changedFaces.push_back(seed * 100 + i);
    r.firstRemovedSideFace = changed / 2;
    for (uint32_t i = 0; i < pairs; ++i)
        r.wedgePairs.insert(WedgePair{seed + i, seed + 50 + i});
    for (uint32_t i = 0; i < free; ++i)
        r.freeWedges.push_back(seed * 7 + i);
    r.firstRemovedSideWedge = free;
    return r;
}
} // namespace

TEST(ContractionSequence, RecordsComeBackAsTheyWentInAndPopsFreeTheirLists) {
    ContractionSequence s;
    const PairContraction a = record(1, 3, 1, 0), b = record(2, 20, 3, 5), c = record(3, 0, 0, 1);
    s.push_back(a);
    s.push_back(b);
    s.push_back(c);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0], a);
    EXPECT_EQ(s[1], b);
    PairContraction last;
    s.back(last);
    EXPECT_EQ(last, c);
    s.pop_back();
    s.back(last);
    EXPECT_EQ(last, b); // the reused record is overwritten completely
    s.pop_back();
    s.push_back(c);
    EXPECT_EQ(s[1], c);
    // Indices are stored as steps from the one before: the largest, steps across the whole range
    // both ways and the lengths where a step needs one more byte come back unchanged.
    PairContraction wide;
    wide.keptVertex = UINT32_MAX;
    wide.removedVertex = 0;
    for (uint32_t f : {UINT32_MAX, 0u})
        wide.removedFaces.push_back(f);
    for (uint32_t f : {1u << 31, 5u, UINT32_MAX - 1, 63u, 64u, 8255u, 8256u, 1u << 28, (1u << 28) - 1, 0u})
        wide.changedFaces.push_back(f);
    wide.firstRemovedSideFace = 70000;
    wide.wedgePairs.insert(WedgePair{0, UINT32_MAX});
    wide.wedgePairs.insert(WedgePair{7, 3});
    for (uint32_t w : {UINT32_MAX, 1u << 21})
        wide.freeWedges.push_back(w);
    wide.firstRemovedSideWedge = UINT32_MAX;
    s.push_back(wide);
    s.push_back(a);
    EXPECT_EQ(s[2], wide);
    EXPECT_EQ(s[3], a);
    s.pop_back();
    s.pop_back();
    s.pop_back();
    s.pop_back();
    EXPECT_TRUE(s.empty());
}
