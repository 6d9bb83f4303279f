// The whole graph built by a script through the host's interpreter, as a user would: load the
// plug-in, create and connect the nodes, paint weights, set the resolution and copy the shaders.
// (What the visualizer draws, and saving the viewport as a picture, have tests of their own.)
#include "PluginFixture.h"

#include <maya/MFnMesh.h>

namespace {

class WholeGraphScriptTest : public ::testing::Test {
protected:
    void SetUp() override { gxhost::resetScene(); }
    void TearDown() override { gxhost::resetScene(); }
};

TEST_F(WholeGraphScriptTest, ScriptBuildsSimplifiesAndShades) {
    // The asset: a two-material grid, as an importer would leave it.
    gxhost::SceneMesh source = PluginFixtureMeshes::grid(12, "asset", 0.2f, true);
    ASSERT_FALSE(gxhost::createMeshNode(source).isNull());
    const std::string script = std::string("// whole graph\n") +
                               "loadPlugin \"" GRADIX_PLUGIN "\"\n"
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
                               "setupShaders asset lod\n";
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
}

} // namespace
