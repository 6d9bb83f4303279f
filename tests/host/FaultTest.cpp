// Fault injection: a named host operation fails at its nth call with a chosen status.
#include "HostFixture.h"

#include <maya/MItMeshPolygon.h>

using namespace gxhost;

namespace {

class FaultTest : public HostFixture {};

TEST_F(FaultTest, FailingRegistrationStopsLoadingAndKeepsEarlierItems) {
    ASSERT_TRUE(unloadPlugin(pluginName));
    injectFault("MFnPlugin::registerNode", 2, MStatus::kInsufficientMemory);
    MessageCapture capture;
    EXPECT_EQ(loadPlugin(GX_TEST_PLUGIN), MStatus::kInsufficientMemory);
    EXPECT_EQ(capture.errors(),
              std::vector<std::string>{"loadPlugin: initializePlugin of plug-in '" + pluginName +
                                       "' failed: (kInsufficientMemory): Insufficient memory"});
    EXPECT_TRUE(isDataTypeRegistered("testBlobData"));
    EXPECT_TRUE(isNodeTypeRegistered("testCounter"));
    EXPECT_FALSE(isNodeTypeRegistered("testClamp"));
    EXPECT_FALSE(isCommandRegistered("testEcho"));
    EXPECT_EQ(faultCalls("MFnPlugin::registerNode"), 2u);
}

TEST_F(FaultTest, FailingDeregistrationKeepsThePluginLoaded) {
    createNode("testCounter", "counter");
    injectFault("MFnPlugin::deregisterCommand", 1);
    MessageCapture capture;
    EXPECT_EQ(unloadPlugin(pluginName), MStatus::kFailure);
    EXPECT_TRUE(isPluginLoaded(pluginName));
    EXPECT_TRUE(isCommandRegistered("testEcho"));
    EXPECT_FALSE(findNode("counter").isNull()) << "nodes stay while their type is registered";
    clearFaults();
    EXPECT_TRUE(unloadPlugin(pluginName));
}

TEST_F(FaultTest, NthCallFailsOnceOrFromThenOn) {
    MObject mesh = makeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, {0, 1, 2});
    MFnMesh fn(mesh);
    MFloatArray u(3, 0.5f), v(3, 0.5f);
    MIntArray counts(1, 3), ids;
    ids.vec() = {0, 1, 2};
    ASSERT_TRUE(fn.setUVs(u, v));
    ASSERT_TRUE(fn.assignUVs(counts, ids));
    MItMeshPolygon it(mesh);
    float2 uv;
    injectFault("MItMeshPolygon::getUV", 2, MStatus::kInvalidParameter);
    EXPECT_TRUE(it.getUV(0, uv));
    EXPECT_EQ(it.getUV(1, uv), MStatus::kInvalidParameter);
    EXPECT_TRUE(it.getUV(2, uv));

    injectFault("MItMeshPolygon::getUV", 2, MStatus::kFailure, true);
    EXPECT_TRUE(it.getUV(0, uv));
    EXPECT_FALSE(it.getUV(1, uv));
    EXPECT_FALSE(it.getUV(2, uv));
    clearFaults();
    EXPECT_TRUE(it.getUV(2, uv));
}

TEST_F(FaultTest, InjectedStatusReachesTheCallerOnce) {
    createNode("testCounter", "a");
    injectFault("MPlug::getValue", 1, MStatus::kNotFound);
    float value = -1.0f;
    MPlug plug = findPlug("a.output");
    EXPECT_EQ(plug.getValue(value), MStatus::kNotFound);
    EXPECT_TRUE(plug.getValue(value));
    EXPECT_EQ(value, 0.0f);

    injectFault("MFnMesh::setObject", 1, MStatus::kInsufficientMemory);
    MStatus status;
    MObject mesh = makeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, {0, 1, 2});
    MFnMesh fn(mesh, &status);
    EXPECT_EQ(status, MStatus::kInsufficientMemory) << "a function set's constructor counts as setObject";
    EXPECT_TRUE(fn.setObject(mesh));
}

TEST_F(FaultTest, FailingComputeIsReportedByTheReader) {
    createNode("testBlob", "b");
    injectFault("MFnPluginData::create", 1, MStatus::kInsufficientMemory);
    MessageCapture capture;
    MObject data;
    EXPECT_EQ(getAttr("b.blobOut", data), MStatus::kInsufficientMemory);
    EXPECT_EQ(capture.errors(), std::vector<std::string>{"getAttr: Couldn't evaluate 'b.blobOut'"});
    EXPECT_TRUE(isDirty("b.blobOut")) << "a failed compute leaves the output dirty for the next read";
    EXPECT_TRUE(getAttr("b.blobOut", data));
    EXPECT_FALSE(data.isNull());
}

} // namespace
