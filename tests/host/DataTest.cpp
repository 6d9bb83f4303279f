// Typed data through plugs: arrays, plug-in data, mesh data values.
#include "HostFixture.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnPluginData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPxData.h>

using namespace gxhost;

namespace {

class DataTest : public HostFixture {};

// Adds a double-array attribute "weights" to a new mesh node, as a paint-weights command would.
MObject meshWithWeights() {
    MObject node = createNode("mesh", "m");
    MFnTypedAttribute typed;
    MStatus status;
    MObject attr = typed.create("weights", "w", MFnData::kDoubleArray, MObject::kNullObj, &status);
    EXPECT_TRUE(status);
    EXPECT_TRUE(MFnDependencyNode(node).addAttribute(attr, MFnDependencyNode::kNormalAttr));
    return node;
}

TEST_F(DataTest, DoubleArrayRoundTripsThroughAPlugAndOtherDataIsRefused) {
    MObject node = meshWithWeights();
    MPlug plug = MFnDependencyNode(node).findPlug("weights");
    MObject value;
    ASSERT_TRUE(plug.getValue(value));
    EXPECT_TRUE(value.isNull()) << "the default is the null object";

    MDoubleArray values;
    values.vec() = {0.5, 1.25, -2.0};
    MFnDoubleArrayData fn;
    MObject data = fn.create(values);
    ASSERT_TRUE(plug.setValue(data));
    MObject back;
    ASSERT_TRUE(plug.getValue(back));
    MFnDoubleArrayData read(back);
    EXPECT_EQ(read.array().vec(), values.vec());

    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("getAttr m.w", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"0.5", "1.25", "-2"}));
    ASSERT_TRUE(executeCommand("setAttr m.weights -type doubleArray 2 7 8\ngetAttr m.weights", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"7", "8"}));

    MIntArray ints;
    ints.append(3);
    MFnIntArrayData intsFn;
    EXPECT_EQ(plug.setValue(intsFn.create(ints)), MStatus::kInvalidParameter);
    EXPECT_EQ(plug.setValue(2.0), MStatus::kInvalidParameter);
    MessageCapture capture;
    EXPECT_FALSE(executeCommand("setAttr m.weights -type Int32Array 1 3"));
    EXPECT_EQ(capture.errors(),
              std::vector<std::string>{"setAttr: The attribute 'm.weights' expects doubleArray data"});
}

TEST_F(DataTest, PluginDataIsMadeByItsTypeAndFlowsThroughCompute) {
    createNode("testBlob", "b");
    MFnPluginData fn;
    MStatus status;
    MObject blob = fn.create(MTypeId(0x0007F001), &status);
    ASSERT_TRUE(status);
    ASSERT_NE(fn.data(), nullptr);
    EXPECT_EQ(fn.data()->name(), MString("testBlobData"));
    EXPECT_EQ(fn.typeId().id(), 0x0007F001u);

    std::string text;
    ASSERT_TRUE(writeDataASCII(blob, text));
    EXPECT_EQ(text, "blob 0");
    ASSERT_TRUE(setAttr("b.blobIn", blob));
    MObject out;
    ASSERT_TRUE(getAttr("b.blobOut", out));
    ASSERT_TRUE(writeDataASCII(out, text));
    EXPECT_EQ(text, "blob 1");
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("getAttr b.blobOut", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"blob 1"}));

    EXPECT_EQ(fn.create(MTypeId(0x0BAD), &status), MObject());
    EXPECT_EQ(status, MStatus::kInvalidParameter) << "an unregistered type id makes nothing";
}

TEST_F(DataTest, FailingWriterWritesNothing) {
    // The test type refuses to write negative values.
    createNode("testBlob", "b");
    ASSERT_TRUE(setAttr("b.offset", -4));
    MObject blob;
    ASSERT_TRUE(getAttr("b.blobOut", blob));
    std::string text = "previous";
    EXPECT_EQ(writeDataASCII(blob, text), MStatus::kFailure);
    EXPECT_EQ(text, "");
    MessageCapture capture;
    std::vector<std::string> result{"previous"};
    EXPECT_FALSE(executeCommand("getAttr b.blobOut", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"previous"}));
    EXPECT_EQ(capture.errors(),
              std::vector<std::string>{"getAttr: The data of 'b.blobOut' cannot be written"});
}

TEST_F(DataTest, MeshDataCopiesAreIndependent) {
    MObject original = makeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, {0, 1, 2});
    MFnMeshData dataFn;
    MObject copyObj = dataFn.create();
    MFnMesh fn;
    MStatus status;
    fn.copy(original, copyObj, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(fn.setPoint(0, MPoint(5, 5, 5)));
    MPoint p;
    MFnMesh(original).getPoint(0, p);
    EXPECT_EQ(p, MPoint(0, 0, 0));
    MFnMesh(copyObj).getPoint(0, p);
    EXPECT_EQ(p, MPoint(5, 5, 5));
}

TEST_F(DataTest, PluginTypesGoAwayWithThePlugin) {
    EXPECT_TRUE(isDataTypeRegistered("testBlobData"));
    createNode("testBlob", "b");
    ASSERT_TRUE(unloadPlugin(pluginName));
    EXPECT_FALSE(isDataTypeRegistered("testBlobData"));
    EXPECT_FALSE(isNodeTypeRegistered("testBlob"));
    EXPECT_TRUE(findNode("b").isNull()) << "nodes of the plug-in's types are deleted with it";
    MFnPluginData fn;
    MStatus status;
    fn.create(MTypeId(0x0007F001), &status);
    EXPECT_FALSE(status);
}

} // namespace
