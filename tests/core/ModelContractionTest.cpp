#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace gdx;

namespace {
const DoubleVector kUp{0, 0, 1};
const Color kWhite{1, 1, 1, 1};

// Active faces are listed under each of their vertices, inactive ones nowhere, and removed
// vertices have empty lists.
void expectLinksConsistent(const Model& m) {
    std::vector<uint32_t> seen(m.numFaces(), 0);
    for (uint32_t v = 0; v < m.numVertices(); ++v) {
        if (!m.vertexState(v).active) {
            ASSERT_TRUE(m.vertexFaces(v).empty()) << "removed vertex " << v;
        }
        for (uint32_t f : m.vertexFaces(v)) {
            ASSERT_TRUE(m.faceState(f).active) << "inactive face " << f << " listed at " << v;
            ASSERT_TRUE(m.face(f).hasVertex(v));
            ++seen[f];
        }
    }
    for (uint32_t f = 0; f < m.numFaces(); ++f)
        ASSERT_EQ(seen[f], m.faceState(f).active ? 3u : 0u) << "face " << f;
}

// Vertices 0 (a) and 1 (b) share faces F0 = (0,1,2) and F1 = (1,0,3); F2 = (0,2,4) is a's only
// other face and F3 = (1,5,3) b's.
//
//        2
//      / | \ .
//     4--0--1--5      (F0 above the edge 0-1, F1 below)
//         \ | /
//           3
// The six positions drawn above, with one UV set and no faces yet.
Model sixPoints() {
    Model m(6, 4);
    for (FloatPoint p : {FloatPoint{0, 0, 0, 1}, FloatPoint{1, 0, 0, 1}, FloatPoint{0.5f, 1, 0, 1},
                         FloatPoint{0.5f, -1, 0, 1}, FloatPoint{-1, 0.5f, 0, 1}, FloatPoint{2, -0.5f, 0, 1}})
        m.positions().push_back(p);
    m.setNumUVSets(1);
    return m;
}

Model twoTrianglesWithNeighbours(float uvOfBInF1) {
    Model m = sixPoints();
    auto w = [&](uint32_t v, float u) { return m.addWedge(v, kUp, kWhite, {u, 0}); };
    m.addFace(0, 1, 2, w(0, 0), w(1, 0), w(2, 0), true);
    m.addFace(1, 0, 3, w(1, uvOfBInF1), w(0, 0), w(3, 0), true);
    m.addFace(0, 2, 4, w(0, 0), w(2, 0), w(4, 0), true);
    m.addFace(1, 5, 3, w(1, uvOfBInF1), w(5, 0), w(3, 0), true);
    m.splitDisconnectedWedges();
    return m;
}
} // namespace

TEST(ModelContraction, SharedEdgeOfTwoTrianglesRecordAndRoundTrip) {
    Model m = twoTrianglesWithNeighbours(0.0f);
    const Model before = m;
    PairContraction r;
    const FloatVector target{0.5f, 0.0f, 0.0f};
    m.prepareContraction(0, 1, r, &target);
    EXPECT_EQ(r.keptVertex, 0u);
    EXPECT_EQ(r.removedVertex, 1u);
    EXPECT_EQ(r.displacement.x, 0.5f);
    ASSERT_EQ(r.removedFaces.size(), 2u);
    EXPECT_EQ(r.removedFaces[0], 0u);
    EXPECT_EQ(r.removedFaces[1], 1u);
    ASSERT_EQ(r.changedFaces.size(), 2u);
    EXPECT_EQ(r.changedFaces[0], 2u); // a's faces first
    EXPECT_EQ(r.changedFaces[1], 3u); // then b's
    EXPECT_EQ(r.firstRemovedSideFace, 1u);
    ASSERT_EQ(r.wedgePairs.size(), 1u);
    EXPECT_EQ(r.wedgePairs[0], (WedgePair{0, 1}));
    EXPECT_TRUE(r.freeWedges.empty());

    m.contract(r);
    EXPECT_FALSE(m.faceState(0).active);
    EXPECT_FALSE(m.faceState(1).active);
    EXPECT_FALSE(m.vertexState(1).active);
    EXPECT_TRUE(m.vertexFaces(1).empty());
    EXPECT_EQ(m.face(3).vertex(0), 0u);
    EXPECT_EQ(m.face(3).wedge(0), 0u); // b's wedge replaced by its partner
    EXPECT_EQ(m.positions()[0].x, 0.5f);
    expectLinksConsistent(m);

    m.uncontract(r);
    test::expectSameModel(before, m, 0.0f);
    expectLinksConsistent(m);
}

TEST(ModelContraction, SeamWedgesOfTheRemovedVertexPairOnlyWithTheSmallest) {
    // b (vertex 1) has its own wedge in F0 and a second one in F1 and F3; a has one wedge.
    Model m = twoTrianglesWithNeighbours(0.5f);
    const uint32_t second = m.wedgeAt(1, 1);
    ASSERT_NE(second, 1u);
    ASSERT_EQ(m.wedgeAt(3, 1), second);
    const Model before = m;

    PairContraction r;
    m.prepareContraction(0, 1, r);
    ASSERT_EQ(r.wedgePairs.size(), 1u);
    EXPECT_EQ(r.wedgePairs[0], (WedgePair{0, 1}));
    // The unpaired wedge is in neither list.
    EXPECT_TRUE(r.freeWedges.empty());
    EXPECT_EQ(r.displacement.x, 0.0f);

    m.contract(r);
    EXPECT_EQ(m.wedgeAt(3, 0), second);  // F3 keeps its own wedge, now one of a's
    EXPECT_EQ(m.positions()[0].x, 0.0f); // no target: nothing moves
    m.uncontract(r);
    test::expectSameModel(before, m, 0.0f);
}

TEST(ModelContraction, FreeWedgesOfBothSidesInAscendingOrder) {
    // a's faces other than the removed ones use a second wedge of a: it is free on a's side.
    Model m = sixPoints();
    auto w = [&](uint32_t v, float u) { return m.addWedge(v, kUp, kWhite, {u, 0}); };
    m.addFace(0, 1, 2, w(0, 0), w(1, 0), w(2, 0), true);
    m.addFace(0, 2, 4, w(0, 0.7f), w(2, 0), w(4, 0), true);
    m.addFace(1, 5, 3, w(1, 0.3f), w(5, 0), w(3, 0), true);
    m.splitDisconnectedWedges();
    const uint32_t aFree = m.wedgeAt(1, 0), bFree = m.wedgeAt(2, 1);
    PairContraction r;
    m.prepareContraction(0, 1, r);
    ASSERT_EQ(r.freeWedges.size(), 2u);
    EXPECT_EQ(r.freeWedges[0], aFree);
    EXPECT_EQ(r.firstRemovedSideWedge, 1u);
    EXPECT_EQ(r.freeWedges[1], bFree);
    ASSERT_EQ(r.wedgePairs.size(), 1u);
}

namespace {
// Contracts random pairs that share a face until few faces are left, checking links as it goes,
// then undoes everything in reverse and compares with the state before.
void randomRoundTrip(const test::MeshSource& source, uint32_t seed) {
    auto model = test::buildModel(source);
    Model& m = *model;
    const Model before = m;
    std::mt19937 rng(seed);
    std::vector<PairContraction> records;
    uint32_t active = m.numFaces();
    std::uniform_int_distribution<uint32_t> anyFace(0, m.numFaces() - 1);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);

    while (active > m.numFaces() / 10) {
        const uint32_t f = anyFace(rng);
        if (!m.faceState(f).active)
            continue;
        const uint32_t corner = rng() % 3;
        uint32_t a = m.face(f).vertex(corner), b = m.face(f).vertex((corner + 1) % 3);
        if (rng() % 2)
            std::swap(a, b); // the model keeps whichever it is told to
        PairContraction r;
        const FloatPoint& pa = m.positions()[a];
        const FloatVector target{pa.x + jitter(rng), pa.y + jitter(rng), pa.z + jitter(rng)};
        m.prepareContraction(a, b, r, rng() % 4 ? &target : nullptr);
        ASSERT_FALSE(r.removedFaces.empty());
        m.contract(r);
        active -= r.removedFaces.size();
        records.push_back(r);
        if (records.size() % 97 == 0)
            expectLinksConsistent(m);
    }
    expectLinksConsistent(m);
    ASSERT_GT(records.size(), 400u);

    for (auto it = records.rbegin(); it != records.rend(); ++it)
        m.uncontract(*it);

    test::expectSameModel(before, m, 1e-4f);
}
} // namespace

// A closed torus (1,920 faces) and an open seamed grid with a non-manifold vertex (1,352 + 32 faces).
TEST(ModelContraction, RandomRoundTripsRestoreTheModel) {
    const std::pair<test::MeshSource, std::vector<uint32_t>> cases[] = {
        {test::torus(40, 24), {1, 2, 3}},
        {test::seamedGridWithBowtie(26), {4, 5, 6}},
    };
    for (const auto& [source, seeds] : cases)
        for (uint32_t seed : seeds)
            randomRoundTrip(source, seed);
}
