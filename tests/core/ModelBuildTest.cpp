#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gdx;
using gdx::test::Corner;

namespace {
const DoubleVector kUp{0, 0, 1};
const Color kWhite{1, 1, 1, 1};

// A fan of `count` triangles around vertex 0 (centre), rim vertices 1..count (open fan, not closed).
//        3
//       / \ .
//      / 1 \ 2
//     4--0--1     (triangle i = (0, i+1, i+2))
Model makeFan(uint32_t count, uint32_t uvSets) {
    Model m(count + 2, count);
    m.positions().push_back(FloatPoint{0, 0, 0, 1});
    for (uint32_t i = 0; i <= count; ++i) {
        const float angle = 0.5f * float(i);
        m.positions().push_back(FloatPoint{std::cos(angle), std::sin(angle), 0, 1});
    }
    m.setNumUVSets(uvSets);
    return m;
}

// A face of a one-UV-set model whose corner at `a` has first UV (u, 0), the others (0, 0).
uint32_t addTriangle(Model& m, uint32_t a, uint32_t b, uint32_t c, float u = 0.0f) {
    return m.addFace(a, b, c, m.addWedge(a, kUp, kWhite, {u, 0}), m.addWedge(b, kUp, kWhite, {0, 0}),
                     m.addWedge(c, kUp, kWhite, {0, 0}), true);
}
} // namespace

TEST(ModelBuild, ACornerReusesTheVertexWedgeOnlyWhenNormalColourAndFirstUVsAgree) {
    // Vertex 0 gets a wedge of normal up, white, first-set UV (0.5, 0.5) and second set (0.7, 0.8);
    // a later corner of vertex 0 with these values reuses it or gets a new one.
    const struct {
        uint32_t uvSets;
        DoubleVector normal;
        Color colour;
        FloatArray uvs;
        bool reused;
    } cases[] = {
        {1, kUp, kWhite, {0.5f, 0.5f}, true},
        {1, {1, 0, 0}, kWhite, {0.5f, 0.5f}, false},
        {1, kUp, {1, 0, 0, 1}, {0.5f, 0.5f}, false},
        {1, kUp, kWhite, {0.5f, 0.25f}, false},
        {2, kUp, kWhite, {0.5f, 0.5f, 0.3f, 0.4f}, true}, // the second set does not split
        {0, kUp, kWhite, {}, true},
        {0, {0, 1, 0}, kWhite, {}, false},
    };
    for (const auto& c : cases) {
        Model m = makeFan(2, c.uvSets);
        FloatArray first{0.5f, 0.5f, 0.7f, 0.8f}, zero(2 * c.uvSets, 0.0f);
        first.resize(2 * c.uvSets);
        const uint32_t w = m.addWedge(0, kUp, kWhite, first);
        EXPECT_EQ(w, 0u);
        m.addFace(0, 1, 2, w, m.addWedge(1, kUp, kWhite, zero), m.addWedge(2, kUp, kWhite, zero), true);
        EXPECT_EQ(m.addWedge(0, c.normal, c.colour, c.uvs) == w, c.reused) << &c - cases;
        if (c.uvSets == 2) { // the reused wedge keeps its own second-set values
            EXPECT_EQ(m.uArray(1)[0], 0.7f);
        }
    }
}

TEST(ModelBuild, SeamVertexGetsOneWedgePerDistinctAttributeSetAndReusesThem) {
    Model m = makeFan(3, 2);
    auto face = [&](uint32_t i, float u) {
        const uint32_t w = m.addWedge(0, kUp, kWhite, {u, 0.0f, u + 1, 2.0f});
        m.addFace(0, i + 1, i + 2, w, m.addWedge(i + 1, kUp, kWhite, {0, 0, 0, 0}),
                  m.addWedge(i + 2, kUp, kWhite, {0, 0, 0, 0}), true);
        return w;
    };
    EXPECT_EQ(face(0, 0.25f), 0u);
    const uint32_t second = face(1, 0.75f);
    EXPECT_EQ(second, m.numVertices()); // first added wedge
    EXPECT_EQ(face(2, 0.75f), second);  // a third corner matching the second reuses it
    m.splitDisconnectedWedges();
    EXPECT_EQ(m.numWedges(), m.numVertices() + 1);
    // The new wedge got every UV set and the other values of its corner.
    EXPECT_EQ(m.uArray(0)[second], 0.75f);
    EXPECT_EQ(m.uArray(1)[second], 1.75f);
    EXPECT_EQ(m.vArray(1)[second], 2.0f);
    EXPECT_EQ(m.firstU()[second], 0.75f);
    EXPECT_EQ(m.normals()[second], kUp);
}

TEST(ModelBuild, NonManifoldVertexWithEqualAttributesKeepsOneWedge) {
    const auto source = test::seamedGridWithBowtie(6);
    const auto model = test::buildModel(source);
    const uint32_t shared = 6 * 7 + 6;
    // The shared vertex is used by faces of both grids, all with one wedge: its own.
    uint32_t faces = 0;
    for (uint32_t f : model->vertexFaces(shared)) {
        EXPECT_EQ(model->wedgeAt(f, shared), shared);
        ++faces;
    }
    EXPECT_EQ(faces, 4u); // the two triangles of the corner quad of each grid
}

TEST(ModelBuild, DisconnectedGroupsOfOneWedgeAreSplitAtVerticesWithSeveralWedges) {
    // Vertex 0 with two fans joined only at 0. Fan A: faces 0 and 1 with wedge X, face 2 with a
    // second UV (so 0 gets a second wedge). Fan B: face 3 with the same values as X.
    //
    //   fan A: (0,1,2) (0,2,3) (0,3,4)      fan B: (0,5,6)
    Model m(7, 4);
    for (int i = 0; i < 7; ++i)
        m.positions().push_back(FloatPoint{float(i % 3), float(i / 3), float(i == 0 ? 0 : 1), 1});
    m.setNumUVSets(1);
    addTriangle(m, 0, 1, 2, 0.1f);
    addTriangle(m, 0, 2, 3, 0.1f);
    addTriangle(m, 0, 3, 4, 0.9f);
    const uint32_t fanB = addTriangle(m, 0, 5, 6, 0.1f);
    EXPECT_EQ(m.wedgeAt(fanB, 0), 0u);
    const uint32_t before = m.numWedges();
    m.splitDisconnectedWedges();
    EXPECT_EQ(m.numWedges(), before + 1);
    // The group met first keeps wedge 0; fan B gets a copy.
    EXPECT_EQ(m.wedgeAt(0, 0), 0u);
    EXPECT_EQ(m.wedgeAt(1, 0), 0u);
    const uint32_t copy = m.wedgeAt(fanB, 0);
    EXPECT_EQ(copy, before);
    EXPECT_EQ(m.firstU()[copy], 0.1f);
    EXPECT_EQ(m.uArray(0)[copy], 0.1f);
    // Every per-wedge array grew with the new wedge.
    EXPECT_EQ(m.normals().size(), m.numWedges());
    EXPECT_EQ(m.colors().size(), m.numWedges());
    EXPECT_EQ(m.uArray(0).size(), m.numWedges());
}

TEST(ModelBuild, GeneratedMeshesHaveConsistentWedgeArraysAndFaceLists) {
    for (const auto& source : {test::torus(30, 20), test::seamedGridWithBowtie(24)}) {
        const auto model = test::buildModel(source);
        ASSERT_GE(model->numFaces(), 1000u);
        EXPECT_GT(model->numWedges(), model->numVertices()); // both have seams
        for (uint32_t k = 0; k < model->numUVSets(); ++k)
            EXPECT_EQ(model->uArray(k).size(), model->numWedges());
        for (uint32_t f = 0; f < model->numFaces(); ++f)
            for (uint32_t i = 0; i < 3; ++i) {
                const uint32_t v = model->face(f).vertex(i), w = model->face(f).wedge(i);
                // A corner's wedge carries exactly that corner's first-set UV.
                const Corner& c = source.triangles[f].c[i];
                EXPECT_EQ(model->firstU()[w], c.uvs[0]);
                EXPECT_EQ(model->firstV()[w], c.uvs[1]);
                EXPECT_EQ(model->normals()[w], c.normal);
                const auto& around = model->vertexFaces(v);
                EXPECT_NE(std::find(around.begin(), around.end(), f), around.end());
            }
    }
}

TEST(ModelQueries, FaceHelpersAndAdjacency) {
    Face f{{4, 7, 9}, {10, 11, 12}};
    EXPECT_EQ(f.cornerOf(7), 1u);
    EXPECT_EQ(f.cornerOf(99), 2u);
    EXPECT_EQ(f.thirdCorner(4, 7), 2u);
    EXPECT_EQ(f.thirdCorner(9, 4), 1u);
    EXPECT_EQ(f.replaceWedge(11, 5), 1u);
    EXPECT_TRUE(f.hasWedge(5));

    // Two triangles sharing edge 1-2 and a degenerate one with two equal positions.
    //   0---1
    //    \ / \ .
    //     2---3
    Model m(5, 3);
    for (FloatPoint p : {FloatPoint{0, 1, 0, 1}, FloatPoint{2, 1, 0, 1}, FloatPoint{1, 0, 0, 1},
                         FloatPoint{3, 0, 0, 1}, FloatPoint{2, 1, 0, 1}})
        m.positions().push_back(p);
    m.setNumUVSets(1);
    addTriangle(m, 0, 2, 1);
    addTriangle(m, 1, 2, 3);
    const uint32_t flat = addTriangle(m, 1, 3, 4);
    EXPECT_DOUBLE_EQ(m.faceArea(0), 1.0);
    EXPECT_EQ(m.faceArea(flat), 0.0);
    DoubleVector n;
    m.faceNormal(0, n, true);
    EXPECT_DOUBLE_EQ(n.z, 1.0);

    IndexArray out;
    m.edgeFaces(1, 2, out);
    EXPECT_EQ(out, (IndexArray{0, 1}));
    out.clear();
    m.vertexNeighbours(1, out);
    EXPECT_EQ(out, (IndexArray{0, 2, 3, 4})); // first met, faces in list order, corners 0..2
    WedgeSet wedges;
    m.wedgesAt(2, m.vertexFaces(2), wedges);
    EXPECT_EQ(wedges.size(), 1u);
    EXPECT_EQ(m.countFacesWithWedge(m.vertexFaces(1), 1), 3u);

    m.removeFace(1);
    EXPECT_FALSE(m.faceState(1).active);
    EXPECT_EQ(m.vertexFaces(2).size(), 1u);
    EXPECT_EQ(m.vertexFaces(1).size(), 2u);
    EXPECT_EQ(m.countFacesWithWedge(m.vertexFaces(1), 1), 2u);
}
