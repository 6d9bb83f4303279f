#include "ContractionSequence.h"

#include <gtest/gtest.h>

using namespace gdx;

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
    s.pop_back();
    s.pop_back();
    EXPECT_TRUE(s.empty());
}
