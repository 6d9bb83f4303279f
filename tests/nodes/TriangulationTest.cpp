// How the main node reads a polygon mesh: triangles from polygons with their corners' attributes,
// invalid polygons left out, and warnings for missing normals, colours and UVs once per rebuild.
#include "NodesFixture.h"

#include <maya/MFnMesh.h>

#include <algorithm>

using namespace gxhost;

namespace {
size_t count(const std::vector<std::string>& lines, const std::string& text) {
    return size_t(std::count(lines.begin(), lines.end(), text));
}

// One polygon through all the points in order, with one UV set (one UV per point).
SceneMesh polygon(std::vector<std::array<float, 3>> points, std::vector<float> u, std::vector<float> v) {
    SceneMesh m;
    m.name = "src";
    m.points = std::move(points);
    m.faceCounts = {int32_t(m.points.size())};
    SceneUVSet uv{"map1", std::move(u), std::move(v), {}};
    for (int32_t i = 0; i < m.faceCounts[0]; ++i) {
        m.faceVertices.push_back(i);
        uv.uvIds.push_back(i);
    }
    m.uvSets.push_back(uv);
    m.faceMaterial = {-1};
    return m;
}

// One quad (0,0)-(2,0)-(2,1)-(0,1) with per-corner colours and normals.
SceneMesh quad() {
    SceneMesh m = polygon({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}}, {0.0f, 0.25f, 0.5f, 0.75f},
                          {0.1f, 0.2f, 0.3f, 0.4f});
    m.normals = {{0, 0, 1}, {0, 0.6f, 0.8f}, {0, 0, 1}, {0.6f, 0, 0.8f}};
    m.colors = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 0, 1}};
    m.hasColor = {1, 1, 1, 1};
    return m;
}
} // namespace

class Triangulation : public NodesFixture {
protected:
    SceneMesh output() {
        SceneMesh s;
        EXPECT_TRUE(meshToScene(meshAt("gx.outMesh"), s));
        return s;
    }
};

TEST_F(Triangulation, QuadCornersKeepTheirOwnAttributes) {
    buildGraph(quad());
    ASSERT_TRUE(setAttr("gx.useNormals", 1));
    ASSERT_TRUE(setAttr("gx.useVertexColors", 1));
    const SceneMesh out = output();
    ASSERT_EQ(out.faceCounts.size(), 2u);
    ASSERT_EQ(out.normals.size(), 6u);
    for (size_t c = 0; c < out.faceVertices.size(); ++c) {
        const int v = out.faceVertices[c];
        const SceneMesh q = quad();
        EXPECT_EQ(out.colors[c], q.colors[size_t(v)]) << "corner " << c;
        EXPECT_NEAR(out.normals[c][1], q.normals[size_t(v)][1], 1e-6f);
        const int id = out.uvSets[0].uvIds[c];
        EXPECT_EQ(out.uvSets[0].u[size_t(id)], q.uvSets[0].u[size_t(v)]);
    }
}

TEST_F(Triangulation, InvalidPolygonsAreLeftOutWithOneWarningEach) {
    SceneMesh m = quad();
    // Two degenerate polygons: every corner on one line.
    m.points.insert(m.points.end(), {{3, 0, 0}, {4, 0, 0}, {5, 0, 0}});
    for (int i = 0; i < 2; ++i) {
        m.faceCounts.push_back(3);
        m.faceVertices.insert(m.faceVertices.end(), {4, 5, 6});
        m.uvSets[0].uvIds.insert(m.uvSets[0].uvIds.end(), {0, 1, 2});
        m.normals.insert(m.normals.end(), 3, {0, 0, 1});
        m.colors.insert(m.colors.end(), 3, {1, 1, 1, 1});
        m.hasColor.insert(m.hasColor.end(), 3, 1);
        m.faceMaterial.push_back(-1);
    }
    MessageCapture capture;
    buildGraph(m);
    EXPECT_EQ(polygons("gx.outMesh"), 2);
    EXPECT_EQ(count(capture.warnings(), "Invalid polygons in source mesh"), 2u);
    EXPECT_EQ(count(capture.infos(), "Saved uvSets:"), 1u);
    EXPECT_EQ(count(capture.infos(), "map1"), 1u);
}

TEST_F(Triangulation, MissingAttributesWarnOncePerRebuild) {
    SceneMesh m = grid(3, 2);
    m.colors.clear();
    m.hasColor.clear();
    m.normals.clear();
    // No face has UVs in the second set.
    std::fill(m.uvSets[1].uvIds.begin(), m.uvSets[1].uvIds.end(), -1);
    MessageCapture capture;
    buildGraph(m);
    ASSERT_TRUE(setAttr("gx.useVertexColors", 1));
    ASSERT_EQ(polygons("gx.outMesh"), 18);
    EXPECT_EQ(count(capture.warnings(), "Not all faces/vertices have colors set"), 1u);
    EXPECT_EQ(count(capture.warnings(), "Not all faces/vertices have UVs set"), 1u);
    // Corners without a UV in the second set carry (0, 0) there; the first set is intact.
    MObject uvs;
    ASSERT_TRUE(getAttr("gx.outUVs", uvs));
    SceneMesh out = output();
    ASSERT_FALSE(out.uvSets.empty());
    EXPECT_GT(*std::max_element(out.uvSets[0].u.begin(), out.uvSets[0].u.end()), 0.4f);
    SceneMesh edited;
    ASSERT_TRUE(meshToScene(meshAt("ed.outMesh"), edited));
    ASSERT_EQ(edited.uvSets.size(), 2u);
    for (float u : edited.uvSets[1].u)
        EXPECT_EQ(u, 0.0f);
    // Another rebuild warns again, once.
    capture.clear();
    ASSERT_TRUE(setAttr("gx.lambdaUVs", 3));
    ASSERT_TRUE(setAttr("gx.resolution", 50));
    polygons("gx.outMesh");
    EXPECT_EQ(count(capture.warnings(), "Not all faces/vertices have UVs set"), 1u);
}

TEST_F(Triangulation, MeshWithoutUVsSimplifiesWithOneWarning) {
    MessageCapture capture;
    buildGraph(grid(6, 0));
    ASSERT_TRUE(setAttr("gx.resolution", 50));
    const SceneMesh out = output();
    EXPECT_NEAR(double(out.faceCounts.size()), 36.0, 1.0);
    EXPECT_LE(count(capture.warnings(), "Not all faces/vertices have UVs set"), 1u);
    for (const SceneUVSet& set : out.uvSets)
        for (float u : set.u)
            EXPECT_EQ(u, 0.0f);
}

TEST_F(Triangulation, RepeatedCornerPositionsTakeTheFirstCornersAttributes) {
    // A pentagon whose corners 1 and 2 sit at the same place with different UVs.
    buildGraph(polygon({{0, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}},
                       {0.0f, 0.5f, 0.9f, 0.6f, 0.1f}, {0.0f, 0.0f, 0.0f, 0.5f, 0.5f}));
    const SceneMesh out = output();
    ASSERT_FALSE(out.faceCounts.empty());
    for (size_t c = 0; c < out.faceVertices.size(); ++c) {
        const auto& p = out.points[size_t(out.faceVertices[c])];
        if (p[0] == 2 && p[1] == 0) {
            EXPECT_EQ(out.uvSets[0].u[size_t(out.uvSets[0].uvIds[c])], 0.5f) << "corner " << c;
        }
    }
}
