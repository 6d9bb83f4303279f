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
    for (const char* command : {"addPaintableWeightsGX quad", "addPaintableWeightsGX quad 1 2",
                                "addPaintableWeightsGX quad heavy"}) {
        MessageCapture capture;
        EXPECT_FALSE(executeCommand(command)) << command;
        const auto errors = capture.errors();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), "Usage: AddPaintableWeightsGX MeshNode Weight"), 1)
            << command;
    }
    MessageCapture capture;
    EXPECT_FALSE(executeCommand("addPaintableWeightsGX nosuch 0.5"));
    const auto errors = capture.errors();
    const std::string expected = std::string(MStatus(MStatus::kFailure).errorString().asChar()) +
                                 " --> AddPaintableWeightsGXCommand::doIt: Node nosuch not found";
    EXPECT_EQ(std::count(errors.begin(), errors.end(), expected), 1);
}

TEST_F(PaintableWeights, OneWeightPerVertexPassedThroughAFloat) {
    SceneMesh cube;
    cube.name = "cube";
    for (int i = 0; i < 8; ++i)
        cube.points.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& f : faces) {
        cube.faceCounts.push_back(4);
        cube.faceVertices.insert(cube.faceVertices.end(), f, f + 4);
        cube.faceMaterial.push_back(-1);
    }
    createMeshNode(cube);
    ASSERT_TRUE(executeCommand("addPaintableWeightsGX cube 0.5"));
    const MDoubleArray half = weightsOf("cube.gradixWeights");
    ASSERT_EQ(half.length(), 8u);
    for (unsigned i = 0; i < 8; ++i)
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
    // A 9 x 9 quad grid (100 vertices) replaced by a 14 x 7 one (120 vertices).
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

    // Replace the small mesh's geometry by one of 120 vertices (14 x 7 quads).
    SceneMesh bigger;
    bigger.name = "small";
    for (int y = 0; y <= 7; ++y)
        for (int x = 0; x <= 14; ++x)
            bigger.points.push_back({float(x), float(y), 0});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 14; ++x) {
            const int a = y * 15 + x;
            bigger.faceCounts.push_back(4);
            bigger.faceVertices.insert(bigger.faceVertices.end(), {a, a + 1, a + 16, a + 15});
            bigger.faceMaterial.push_back(-1);
        }
    ASSERT_EQ(bigger.points.size(), 120u);
    ASSERT_TRUE(sceneToMesh(bigger, findNode("small")));
    EXPECT_EQ(polygons("gx.outMesh"), 196);
    const MDoubleArray resized = weightsOf("small.gradixWeights");
    ASSERT_EQ(resized.length(), 120u);
    for (unsigned i = 0; i < 100; ++i)
        ASSERT_EQ(resized[i], i / 100.0);
    for (unsigned i = 100; i < 120; ++i)
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
