// The whole graph built by a script through the host's interpreter, as a user would: load the
// plug-in, create and connect the nodes, paint weights, set the resolution, copy the shaders and
// save a picture of the viewport.
#include "PluginFixture.h"

#include <gxhost/Viewport.h>

#include <maya/MFnMesh.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

class WholeGraphScriptTest : public ::testing::Test {
protected:
    void SetUp() override { gxhost::resetScene(); }
    void TearDown() override { gxhost::resetScene(); }
};

TEST_F(WholeGraphScriptTest, ScriptBuildsSimplifiesShadesAndSavesAPicture) {
    // The asset: a two-material grid, as an importer would leave it.
    gxhost::SceneMesh source = PluginFixtureMeshes::grid(12, "asset", 0.2f, true);
    ASSERT_FALSE(gxhost::createMeshNode(source).isNull());
    const std::string png = ::testing::TempDir() + "gx_whole_graph.png";
    std::remove(png.c_str());

    const std::string script = std::string("// whole graph\n") +
                               "loadPlugin \"" GRADIX_PLUGIN "\"\n"
                               "loadPlugin \"" SNAPSHOT_PLUGIN "\"\n"
                               "createNode Gradix -n gx\n"
                               "createNode EditUVs -n ed\n"
                               "createNode mesh -n lod\n"
                               "createNode VisualizerGX -n vis\n"
                               "connectAttr asset.outMesh gx.inMesh\n"
                               "connectAttr gx.outMesh ed.inMesh\n"
                               "connectAttr gx.outUVs ed.inUVs\n"
                               "connectAttr gx.outUVids ed.inUVids\n"
                               "connectAttr ed.outMesh lod.inMesh\n"
                               "connectAttr gx.outSlimInfo vis.inSlimInfo\n"
                               "connectAttr asset.outMesh vis.inMesh\n"
                               "addPaintableWeightsGX asset 1.0\n"
                               "connectAttr asset.gradixWeights gx.inWeights\n"
                               "setAttr gx.resolution 40\n"
                               "setAttr vis.range 0.3\n"
                               "setupShaders asset lod\n"
                               "viewportSnapshot 160 120 \"" +
                               png + "\"\n";
    gxhost::MessageCapture capture;
    ASSERT_TRUE(gxhost::executeScript(script, "wholeGraph.gx"));
    EXPECT_TRUE(capture.errors().empty()) << capture.errors().front();

    // The LOD has about 40% of the 288 triangles, each with one of the two materials.
    const MObject lod = gxhost::findNode("lod");
    const int faces = MFnMesh(lod).numPolygons();
    EXPECT_NEAR(faces, 0.4 * 288, 2.0);
    int left = 0, right = 0;
    for (int f = 0; f < faces; ++f) {
        const std::string m = gxhost::faceMaterial(lod, f);
        left += m == "matLeft";
        right += m == "matRight";
    }
    EXPECT_EQ(left + right, faces);
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);

    std::ifstream in(png, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    EXPECT_EQ((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19], 160);
    std::remove(png.c_str());

    // The same view shows the visualizer's red faces over the grey asset.
    gxhost::Viewport view(160, 120);
    view.frameScene({0.3, 0.4, 1.0});
    ASSERT_TRUE(view.refresh());
    int red = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const auto p = view.pixel(x, y);
            red += p[0] > 40 && p[1] < 10 && p[2] < 10;
        }
    EXPECT_GT(red, 100);
}

} // namespace
