// The main node and the UV node in a graph: resolutions, rebuilds, pausing, every UV set,
// normals and colours.
#include "NodesFixture.h"
#include "QSlim.h"

#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

using namespace gxhost;

class GradixGraph : public NodesFixture {};

TEST_F(GradixGraph, ResolutionMovesTheSameEngineBackAndForth) {
    buildGraph(grid(12, 1)); // 144 quads, 288 triangles
    EXPECT_EQ(polygons("gx.outMesh"), 288);
    SlimInfoAttribute* info = slimInfo();
    ASSERT_TRUE(info && info->model && info->engine);
    const gdx::Model* model = info->model;

    ASSERT_TRUE(setAttr("gx.resolution", 40));
    const int at40 = polygons("gx.outMesh");
    info = slimInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(at40, int(info->engine->activeFaces()));
    EXPECT_NEAR(at40, 0.4 * 288, 1.0); // within one contraction of the target
    EXPECT_EQ(info->model, model) << "a change of resolution keeps the model";

    ASSERT_TRUE(setAttr("gx.resolution", 10));
    EXPECT_LT(polygons("gx.outMesh"), at40);
    ASSERT_TRUE(setAttr("gx.resolution", 40));
    EXPECT_EQ(polygons("gx.outMesh"), at40) << "undo and redo land on the same count";
    ASSERT_TRUE(setAttr("gx.resolution", 100));
    EXPECT_EQ(polygons("gx.outMesh"), 288);
    EXPECT_EQ(slimInfo()->model, model);

    // A setting that changes the quadrics rebuilds everything.
    ASSERT_TRUE(setAttr("gx.lambdaUVs", 2.0));
    ASSERT_TRUE(setAttr("gx.resolution", 50));
    EXPECT_NEAR(polygons("gx.outMesh"), 144, 1.0);
    EXPECT_NE(slimInfo()->model, model);
}

TEST_F(GradixGraph, PausedUpdatesGiveTheNullMeshAndComputeNothing) {
    buildGraph(grid(8, 1));
    EXPECT_EQ(polygons("gx.outMesh"), 128);
    const gdx::QSlim* engine = slimInfo()->engine;
    const uint32_t faces = engine->activeFaces();
    ASSERT_TRUE(setAttr("gx.pauseMeshUpdate", 1));
    EXPECT_TRUE(meshAt("gx.outMesh").isNull());
    ASSERT_TRUE(setAttr("gx.resolution", 20));
    EXPECT_TRUE(meshAt("gx.outMesh").isNull());
    EXPECT_EQ(engine->activeFaces(), faces) << "nothing was contracted while paused";
    // Unpausing applies the change made meanwhile.
    ASSERT_TRUE(setAttr("gx.pauseMeshUpdate", 0));
    EXPECT_NEAR(polygons("gx.outMesh"), 0.2 * 128, 1.0);
    // Pausing and unpausing with no other change has nothing new to show.
    ASSERT_TRUE(setAttr("gx.pauseMeshUpdate", 1));
    ASSERT_TRUE(setAttr("gx.pauseMeshUpdate", 0));
    EXPECT_TRUE(meshAt("gx.outMesh").isNull());
    // The next change does the work again.
    ASSERT_TRUE(setAttr("gx.resolution", 25));
    EXPECT_NEAR(polygons("gx.outMesh"), 32, 1.0);
}

TEST_F(GradixGraph, EveryUVSetReachesTheEditUVsOutput) {
    buildGraph(grid(10, 3));
    ASSERT_TRUE(setAttr("gx.resolution", 50));
    const MObject simplified = meshAt("gx.outMesh");
    const MObject edited = meshAt("ed.outMesh");
    ASSERT_FALSE(simplified.isNull());
    ASSERT_FALSE(edited.isNull());
    MFnMesh out(simplified), result(edited);
    MStringArray names;
    result.getUVSetNames(names);
    ASSERT_EQ(names.length(), 3u);

    const SlimInfoAttribute* info = slimInfo();
    ASSERT_TRUE(info && info->model);
    const gdx::Model& model = *info->model;
    ASSERT_EQ(result.numPolygons(), out.numPolygons());

    // Set 0 exactly as outMesh has it.
    MFloatArray u0, v0, u1, v1;
    out.getUVs(u0, v0);
    result.getUVs(u1, v1, &names[0]);
    ASSERT_EQ(u0.length(), u1.length());
    for (unsigned i = 0; i < u0.length(); ++i)
        ASSERT_EQ(u0[i], u1[i]);

    // Sets 1 and 2: per face corner, the value of the corner's wedge in that set.
    for (unsigned k = 1; k < 3; ++k) {
        int poly = 0;
        for (uint32_t f = 0; f < model.numFaces(); ++f) {
            if (!model.faceState(f).active)
                continue;
            for (int c = 0; c < 3; ++c) {
                float u = -1, v = -1;
                ASSERT_TRUE(result.getPolygonUV(poly, c, u, v, &names[k])) << "set " << k;
                const uint32_t w = model.face(f).wedge(c);
                ASSERT_EQ(u, model.uArray(k)[w]);
                ASSERT_EQ(v, model.vArray(k)[w]);
            }
            ++poly;
        }
    }
}

TEST_F(GradixGraph, NormalsAndColoursOnlyWhenAskedFor) {
    buildGraph(grid(6, 1));
    auto scene = [](const std::string& plug) {
        SceneMesh s;
        EXPECT_TRUE(meshToScene(meshAt(plug), s));
        return s;
    };
    ASSERT_TRUE(setAttr("gx.resolution", 60));
    SceneMesh plain = scene("gx.outMesh");
    EXPECT_TRUE(plain.normals.empty());
    EXPECT_TRUE(plain.colors.empty() || std::count(plain.hasColor.begin(), plain.hasColor.end(), 1) == 0);

    ASSERT_TRUE(setAttr("gx.useVertexColors", 1));
    SceneMesh coloured = scene("gx.outMesh");
    EXPECT_TRUE(coloured.normals.empty()) << "colours alone leave the host's own normals";
    ASSERT_EQ(coloured.colors.size(), coloured.faceVertices.size());
    for (const auto& c : coloured.colors) {
        EXPECT_GE(c[0], 0.0f);
        EXPECT_LE(c[0], 1.0f);
        EXPECT_EQ(c[2], 0.5f);
    }

    ASSERT_TRUE(setAttr("gx.useNormals", 1));
    SceneMesh both = scene("gx.outMesh");
    ASSERT_EQ(both.normals.size(), both.faceVertices.size());
    for (const auto& n : both.normals)
        EXPECT_NEAR(n[2], 1.0f, 1e-5f); // the grid's normals all point up
}
