// Failures of compute, of reading and triangulating the source mesh, of writing the outputs, and of
// keeping connected weight arrays sized: each shows its line once and passes the status through;
// the next request tries again.
#include "NodesFixture.h"

#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnMeshData.h>

#include <algorithm>

using namespace gxhost;

namespace {
std::string line(const std::string& message) {
    return std::string(MStatus(MStatus::kInvalidParameter).errorString().asChar()) + " --> " + message;
}
} // namespace

class GradixFailure : public NodesFixture {
protected:
    // Builds src -> gx, arms the fault, asks for `plug`, and checks every expected line appears once.
    // With `plug` empty, src has painted weights connected to gx, and the fault is met while gx takes
    // a new mesh (which resizes the weights).
    void expectLines(const std::string& operation, unsigned nth, const std::string& plug,
                     const std::vector<std::string>& messages, bool colours = false) {
        SCOPED_TRACE(operation);
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GX_NODES_PLUGIN));
        gxhost::createMeshNode(grid(plug.empty() ? 2 : 3, 1));
        createNode("Gradix", "gx");
        if (plug.empty()) {
            ASSERT_TRUE(executeCommand("addPaintableWeightsGX src 0.5"));
            ASSERT_TRUE(connect("src.gradixWeights", "gx.inWeights"));
        } else {
            ASSERT_TRUE(connect("src.outMesh", "gx.inMesh"));
        }
        if (colours) {
            ASSERT_TRUE(setAttr("gx.useVertexColors", 1));
        }
        const MObject mesh = meshAt("src.outMesh");
        MessageCapture capture;
        injectFault(operation, nth, MStatus::kInvalidParameter);
        MObject data;
        if (plug.empty())
            setAttr("gx.inMesh", mesh);
        else
            getAttr(plug, data);
        clearFaults();
        const auto errors = capture.errors();
        for (const std::string& m : messages)
            EXPECT_EQ(std::count(errors.begin(), errors.end(), line(m)), 1) << m;
    }
};

TEST_F(GradixFailure, ReadingTheSourceMesh) {
    const std::string clone = "GradixNode::compute: Couldn't clone the source mesh";
    const std::string triangulate = "Couldn't triangulate geometry";
    expectLines("MDataBlock::inputValue", 1, "gx.outMesh",
                {"GradixNode::compute: Couldn't get handle to input"});
    expectLines("MFnMesh::setObject", 1, "gx.outMesh",
                {"GradixNode::compute: Couldn't create fn set for source mesh"});
    expectLines("MFnMesh::numVertices", 1, "gx.outMesh", {"Couldn't get number of vertices", clone});
    expectLines("MFnMesh::getPoints", 1, "gx.outMesh", {"Couldn't get vertex array", clone});
    const struct {
        const char* operation;
        const char* message;
    } iterator[] = {
        {"MItMeshPolygon::MItMeshPolygon", "GradixNode::triangulate: polyIterator constructor failed."},
        {"MItMeshPolygon::count", "GradixNode::triangulate: polyIterator.count() failed."},
        {"MItMeshPolygon::reset", "GradixNode::triangulate: polyIterator.reset() failed."},
        {"MItMeshPolygon::polygonVertexCount",
         "GradixNode::triangulate: polyIterator.polygonVertexCount failed."},
        {"MItMeshPolygon::zeroArea", "GradixNode::triangulate: polyIterator.zeroArea failed."},
        {"MItMeshPolygon::hasValidTriangulation",
         "GradixNode::triangulate: polyIterator.hasValidTriangulation failed."},
        {"MItMeshPolygon::point", "GradixNode::triangulate: polyIterator.point failed."},
        {"MItMeshPolygon::numTriangles", "GradixNode::triangulate: polyIterator.numTriangles failed."},
        {"MItMeshPolygon::getTriangle", "GradixNode::triangulate: polyIterator.getTriangle failed."},
        {"MItMeshPolygon::next", "GradixNode::triangulate: polyIterator.next failed."},
    };
    for (const auto& c : iterator)
        expectLines(c.operation, 1, "gx.outMesh", {c.message, triangulate, clone});
    expectLines("MItMeshPolygon::vertexIndex", 2, "gx.outMesh",
                {"GradixNode::addFace: Couldn't get vertex index",
                 "GradixNode::triangulate: worker function failed.", triangulate, clone});
}

TEST_F(GradixFailure, WritingTheOutputs) {
    expectLines("MFnMeshData::create", 1, "gx.outMesh",
                {"GradixNode::compute: Couldn't create mesh data object"});
    const std::string update = "GradixNode::compute: Couldn't update mesh";
    expectLines("MFnMesh::create", 1, "gx.outMesh", {"GradixNode::updateMesh: Couldn't create mesh", update});
    expectLines("MFnMesh::setUVs", 1, "gx.outMesh", {"GradixNode::updateMesh: Couldn't setUVs", update});
    expectLines("MFnMesh::assignUVs", 1, "gx.outMesh",
                {"GradixNode::updateMesh: Couldn't assignUVs", update});
    expectLines("MFnMesh::setFaceVertexColors", 1, "gx.outMesh",
                {"GradixNode::updateMesh: Couldn't setFaceVertexColors", update}, true);
    expectLines("MFnPluginData::create", 1, "gx.outSlimInfo",
                {"GradixNode::compute: Couldn't create SlimInfoAttribute"});
    expectLines("MFnPluginData::data", 1, "gx.outSlimInfo",
                {"GradixNode::compute: Couldn't access slimInfo data"});
    expectLines("MDataBlock::outputValue", 1, "gx.outUVs",
                {"GradixNode::compute: Couldn't create outputArray UVs"});
    expectLines("MFnDoubleArrayData::create", 1, "gx.outUVs",
                {"GradixNode::compute: Couldn't create outputArray UVs MObject"});
    expectLines("MDataBlock::outputValue", 1, "gx.outUVids",
                {"GradixNode::compute: Couldn't create outputArray UVids"});
    expectLines("MFnIntArrayData::create", 1, "gx.outUVids",
                {"GradixNode::compute: Couldn't create outputArray UVids MObject"});
}

TEST_F(GradixFailure, AFailedRebuildIsRetriedByTheNextRequest) {
    buildGraph(grid(4, 1));
    {
        MessageCapture capture;
        injectFault("MFnMesh::getPoints", 1);
        MObject data;
        EXPECT_FALSE(getAttr("gx.outMesh", data));
        clearFaults();
    }
    ASSERT_TRUE(setAttr("gx.resolution", 50));
    EXPECT_NEAR(polygons("gx.outMesh"), 16, 1.0);
}

TEST_F(GradixFailure, KeepingConnectedWeightsSized) {
    const std::string where = "GradixNode::setInternalValue: ";
    expectLines("MFnDependencyNode::setObject", 1, "", {where + "Couldn't attach Fn to 'this' object"});
    expectLines("MFnDependencyNode::findPlug", 1, "", {where + "Couldn't find inWeights attribute"});
    expectLines("MPlug::isConnected", 1, "", {where + "Couldn't check connections"});
    expectLines("MPlug::getValue", 1, "", {where + "Couldn't get mesh data object"});
    expectLines("MFnMesh::numVertices", 1, "", {where + "Couldn't get vertex count"});
    expectLines("MPlug::connectedTo", 1, "", {where + "Couldn't get connections"});
}
