// "addPaintableWeightsGX": arguments, lookups, the weight array it makes, and how the main node
// keeps a connected array sized to its mesh and follows painted weights.
#include "AddPaintableWeightsGXCommand.h"
#include "NodesFixture.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MItMeshPolygon.h>

#include <algorithm>

using namespace gxhost;

namespace {
MDoubleArray weightsOf(const std::string& plug) {
    MObject data;
    EXPECT_TRUE(getAttr(plug, data));
    MDoubleArray values;
    if (!data.isNull())
        values = MFnDoubleArrayData(data).array();
    return values;
}

void setWeights(const std::string& plug, const std::vector<double>& values) {
    MDoubleArray array;
    for (double v : values)
        array.append(v);
    MFnDoubleArrayData fn;
    ASSERT_TRUE(setAttr(plug, fn.create(array)));
}
} // namespace

class PaintableWeights : public NodesFixture {};

TEST_F(PaintableWeights, UsageAndUnknownNodes) {
    createMeshNode(grid(1, 1, "quad"));
    const std::string usage = "Usage: AddPaintableWeightsGX MeshNode Weight";
    const std::pair<const char*, std::string> cases[] = {
        {"addPaintableWeightsGX quad", usage},
        {"addPaintableWeightsGX quad 1 2", usage},
        {"addPaintableWeightsGX quad heavy", usage},
        {"addPaintableWeightsGX nosuch 0.5",
         std::string(MStatus(MStatus::kFailure).errorString().asChar()) +
             " --> AddPaintableWeightsGXCommand::doIt: Node nosuch not found"},
    };
    for (const auto& [command, line] : cases) {
        MessageCapture capture;
        EXPECT_FALSE(executeCommand(command)) << command;
        const auto errors = capture.errors();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), line), 1) << command;
    }
}

TEST_F(PaintableWeights, OneWeightPerVertexPassedThroughAFloat) {
    createMeshNode(grid(2, 1, "nine"));
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX nine 0.5"));
    const MDoubleArray half = weightsOf("nine.gradixWeights");
    ASSERT_EQ(half.length(), 9u);
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(half[i], 0.5);

    createMeshNode(grid(1, 1, "quad"));
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX quad 0.1"));
    const MDoubleArray tenth = weightsOf("quad.gradixWeights");
    ASSERT_EQ(tenth.length(), 4u);
    EXPECT_EQ(tenth[0], double(0.1f));
    EXPECT_NE(tenth[0], 0.1);
}

TEST_F(PaintableWeights, SetArrayKeepsValuesAndResizes) {
    createMeshNode(grid(1, 1, "quad"));
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX quad 0.5"));
    MPlug plug = findPlug("quad.gradixWeights");

    setWeights("quad.gradixWeights", {1, 2, 3, 4, 5});
    ASSERT_TRUE(AddPaintableWeightsGXCommand::setArray(plug, 8, 9.0));
    MDoubleArray grown = weightsOf("quad.gradixWeights");
    ASSERT_EQ(grown.length(), 8u);
    EXPECT_EQ(grown[4], 5.0);
    EXPECT_EQ(grown[5], 9.0);
    EXPECT_EQ(grown[7], 9.0);

    setWeights("quad.gradixWeights", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ASSERT_TRUE(AddPaintableWeightsGXCommand::setArray(plug, 8, 9.0));
    MDoubleArray shrunk = weightsOf("quad.gradixWeights");
    ASSERT_EQ(shrunk.length(), 8u);
    EXPECT_EQ(shrunk[7], 8.0);

    // The right length already: nothing changes, whatever the value.
    ASSERT_TRUE(AddPaintableWeightsGXCommand::setArray(plug, 8, -1.0));
    EXPECT_EQ(weightsOf("quad.gradixWeights")[7], 8.0);
}

TEST_F(PaintableWeights, ConnectedWeightsFollowTheInputMeshSize) {
    // A 9 x 9 quad grid (100 vertices) replaced by a 10 x 10 one (121 vertices).
    createMeshNode(grid(9, 1, "small"));
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX small 0.25"));
    createNode("Gradix", "gx");
    ASSERT_TRUE(connect("small.gradixWeights", "gx.inWeights"));
    ASSERT_TRUE(connect("small.outMesh", "gx.inMesh"));
    ASSERT_EQ(polygons("gx.outMesh"), 162);
    std::vector<double> painted(100);
    for (int i = 0; i < 100; ++i)
        painted[size_t(i)] = i / 100.0;
    setWeights("small.gradixWeights", painted);

    // Replace the small mesh's geometry by one of 121 vertices (10 x 10 quads).
    ASSERT_TRUE(sceneToMesh(grid(10, 1, "small"), findNode("small")));
    EXPECT_EQ(polygons("gx.outMesh"), 200);
    const MDoubleArray resized = weightsOf("small.gradixWeights");
    ASSERT_EQ(resized.length(), 121u);
    for (unsigned i = 0; i < 100; ++i)
        ASSERT_EQ(resized[i], i / 100.0);
    for (unsigned i = 100; i < 121; ++i)
        ASSERT_EQ(resized[i], 0.0);
}

TEST_F(PaintableWeights, HeavyRegionsKeepMoreTriangles) {
    const uint32_t n = 20;
    createMeshNode(grid(n, 1, "terrain"));
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX terrain 0"));
    std::vector<double> painted;
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x)
            painted.push_back(x < n / 2 ? 1.0 : 0.0);
    setWeights("terrain.gradixWeights", painted);
    createNode("Gradix", "gx");
    ASSERT_TRUE(connect("terrain.outMesh", "gx.inMesh"));
    ASSERT_TRUE(connect("terrain.gradixWeights", "gx.inWeights"));
    ASSERT_TRUE(setAttr("gx.resolution", 30));

    const MObject mesh = meshAt("gx.outMesh");
    ASSERT_FALSE(mesh.isNull());
    int heavy = 0, light = 0;
    for (MItMeshPolygon it(mesh); !it.isDone(); it.next())
        (it.center().x < n / 2.0 ? heavy : light) += 1;
    // Measured: 206 triangles on the painted half against 33 on the other (ratio 6.2).
    const double ratio = double(heavy) / std::max(1, light);
    std::printf("painted half keeps %d triangles, unpainted half %d (ratio %.2f)\n", heavy, light, ratio);
    EXPECT_GT(ratio, 3.0);
}
