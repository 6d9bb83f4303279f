// The dependency graph: lazy pull evaluation, dirty propagation, internal attributes, flags.
#include "HostFixture.h"

#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>


using namespace gxhost;

namespace {

class GraphTest : public HostFixture {};

TEST_F(GraphTest, DirtinessTravelsThroughAChainOfThreeNodes) {
    for (const char* n : {"a", "b", "c"})
        createNode("testCounter", n);
    ASSERT_TRUE(connect("a.output", "b.input"));
    ASSERT_TRUE(connect("b.output", "c.input"));
    ASSERT_TRUE(setAttr("a.input", 1.0));
    EXPECT_EQ(number("b.output"), 4.0);
    EXPECT_TRUE(isDirty("c.output")) << "reading the middle of a chain leaves its end dirty";
    EXPECT_EQ(number("c.computeCount"), 0.0);
    EXPECT_EQ(number("c.output"), 8.0);
    EXPECT_FALSE(isDirty("a.output"));
    EXPECT_FALSE(isDirty("b.output"));

    ASSERT_TRUE(setAttr("a.input", 2.0));
    EXPECT_TRUE(isDirty("a.output"));
    EXPECT_TRUE(isDirty("b.input"));
    EXPECT_TRUE(isDirty("c.output"));
    EXPECT_EQ(number("b.computeCount"), 1.0) << "marking dirty computes nothing";
    EXPECT_EQ(number("c.output"), 16.0);
    for (const char* n : {"a", "b", "c"})
        EXPECT_EQ(number(std::string(n) + ".computeCount"), 2.0) << n;
}

TEST_F(GraphTest, DirectWriteToInternalAttributeIsClampedBySetInternalValue) {
    createNode("testClamp", "k");
    ASSERT_TRUE(setAttr("k.level", 25.0));
    EXPECT_EQ(number("k.level"), 10.0);
    EXPECT_EQ(number("k.deliveries"), 1.0) << "one write, one delivery";
    EXPECT_EQ(number("k.seenInside"), 25.0)
        << "the written value is in the data block before setInternalValue";
    EXPECT_EQ(number("k.result"), 10.0);
    ASSERT_TRUE(setAttr("k.level", -3.0));
    EXPECT_EQ(number("k.level"), 0.0);
    EXPECT_EQ(number("k.deliveries"), 2.0);
}

TEST_F(GraphTest, ConnectedInternalValueArrivesWhenTheInputIsTaken) {
    createNode("testCounter", "src");
    createNode("testClamp", "k");
    ASSERT_TRUE(connect("src.output", "k.level"));
    ASSERT_TRUE(setAttr("src.input", 20.0)); // output 40
    EXPECT_EQ(number("k.deliveries"), 0.0) << "nothing is delivered before the value is pulled";
    EXPECT_EQ(number("k.result"), 10.0) << "compute takes the input handle, which delivers and clamps";
    EXPECT_EQ(number("k.deliveries"), 1.0);
    EXPECT_EQ(number("k.seenInside"), 40.0);
    EXPECT_EQ(number("k.result"), 10.0);
    EXPECT_EQ(number("k.deliveries"), 1.0) << "a clean input is not delivered again";
}

// Each refused write or connection fails with one error naming the plug and the reason.
TEST_F(GraphTest, RefusedWritesAndConnectionsNameThePlugAndTheReason) {
    MObject a = createNode("testCounter", "a");
    for (const char* n : {"b", "c"})
        createNode("testCounter", n);
    createNode("testClamp", "k");
    MFnNumericAttribute fn;
    MObject secret = fn.create("secret", "sec", MFnNumericData::kFloat, 1.0);
    fn.setReadable(false);
    ASSERT_TRUE(MFnDependencyNode(a).addAttribute(secret));
    ASSERT_TRUE(connect("a.output", "c.input"));
    const std::pair<MStatus (*)(), std::string> refused[] = {
        {[] { return setAttr("k.result", 1.0); }, "setAttr: The attribute 'k.result' is not writable"},
        {[] { return setAttr("c.input", 1.0); },
         "setAttr: The attribute 'c.input' is connected and cannot be set"},
        {[] { return connect("k.result", "a.output"); },
         "connectAttr: The destination attribute 'a.output' is not writable and cannot be connected to"},
        {[] { return connect("a.secret", "b.input"); },
         "connectAttr: The source attribute 'a.secret' is not readable and cannot be connected from"},
        {[] { return connect("b.output", "c.input"); },
         "connectAttr: 'c.input' already has an incoming connection from 'a.output'"},
    };
    for (const auto& [operation, message] : refused) {
        MessageCapture capture;
        EXPECT_FALSE(operation()) << message;
        EXPECT_EQ(capture.errors(), std::vector<std::string>{message});
    }
    EXPECT_TRUE(connect("b.output", "c.input", true));
    setAttr("b.input", 7.0);
    EXPECT_EQ(number("c.output"), 28.0);
}

TEST_F(GraphTest, DisconnectKeepsTheLastValueAndDirtiesDownstream) {
    for (const char* n : {"a", "b"})
        createNode("testCounter", n);
    connect("a.output", "b.input");
    setAttr("a.input", 3.0);
    EXPECT_EQ(number("b.output"), 12.0);
    ASSERT_TRUE(disconnect("a.output", "b.input"));
    EXPECT_EQ(number("b.input"), 6.0);
    setAttr("a.input", 100.0);
    EXPECT_EQ(number("b.output"), 12.0);
    EXPECT_TRUE(setAttr("b.input", 1.0)) << "a disconnected input can be set again";
}

TEST_F(GraphTest, PlugsReportTheirConnections) {
    MObject a = createNode("testCounter", "a");
    createNode("testCounter", "b");
    createNode("testCounter", "c");
    connect("a.output", "b.input");
    connect("a.output", "c.input");
    MPlug out = MFnDependencyNode(a).findPlug("out");
    EXPECT_EQ(out.name(), MString("a.output"));
    EXPECT_TRUE(out.isConnected());
    MPlugArray plugs;
    EXPECT_TRUE(out.connectedTo(plugs, false, true));
    ASSERT_EQ(plugs.length(), 2u);
    EXPECT_EQ(plugs[0].name(), MString("b.input"));
    EXPECT_EQ(plugs[1].name(), MString("c.input"));
    EXPECT_TRUE(findPlug("b.input").connectedTo(plugs, true, false));
    ASSERT_EQ(plugs.length(), 1u);
    EXPECT_EQ(plugs[0], out);
}

TEST_F(GraphTest, NodesGetUniqueNamesAndFloatAttributesStoreFloats) {
    MObject first = createNode("testCounter");
    MObject second = createNode("testCounter");
    MObject third = createNode("testCounter", "testCounter1");
    EXPECT_EQ(nodeName(first), "testCounter1");
    EXPECT_EQ(nodeName(second), "testCounter2");
    EXPECT_EQ(nodeName(third), "testCounter3");
    setAttr("testCounter1.input", 0.1);
    EXPECT_EQ(number("testCounter1.input"), static_cast<double>(0.1f));
}

TEST_F(GraphTest, EnumAttributesTakeFieldNumbersAndNames) {
    createNode("testClamp", "k");
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("setAttr k.mode second\ngetAttr -asString k.mode", &result));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0], "second");
    EXPECT_EQ(number("k.mode"), 1.0);
}

TEST_F(GraphTest, DeletedNodeLosesItsConnections) {
    MObject a = createNode("testCounter", "a");
    createNode("testCounter", "b");
    connect("a.output", "b.input");
    ASSERT_TRUE(deleteNode(a));
    EXPECT_FALSE(findPlug("b.input").isConnected());
    EXPECT_TRUE(findNode("a").isNull());
    EXPECT_TRUE(setAttr("b.input", 2.0));
}


class GraphEdgeTest : public HostFixture {};

TEST_F(GraphEdgeTest, CycleIsEvaluatedOnceWithoutLooping) {
    createNode("testCounter", "a");
    createNode("testCounter", "b");
    ASSERT_TRUE(connect("a.output", "b.input"));
    ASSERT_TRUE(connect("b.output", "a.input"));
    // a.output pulls a.input from b.output, which meets a.output mid-evaluation and takes its old value.
    EXPECT_EQ(number("a.output"), 0.0);
    EXPECT_EQ(number("a.computeCount"), 1.0);
    EXPECT_EQ(number("b.computeCount"), 1.0);
}

TEST_F(GraphEdgeTest, NumericPlugsRoundToTheirKind) {
    MObject node = createNode("testClamp", "k");
    MFnNumericAttribute fn;
    MObject count = fn.create("count", "cnt", MFnNumericData::kShort, 0);
    fn.setMin(-5);
    fn.setMax(100);
    MObject flag = fn.create("flag", "fl", MFnNumericData::kBoolean, 0);
    MFnDependencyNode dep(node);
    ASSERT_TRUE(dep.addAttribute(count));
    ASSERT_TRUE(dep.addAttribute(flag));
    EXPECT_EQ(dep.addAttribute(flag), MStatus::kInvalidParameter) << "an attribute is added once";
    setAttr("k.count", 7.9);
    EXPECT_EQ(number("k.count"), 7.0);
    setAttr("k.count", 500);
    EXPECT_EQ(number("k.count"), 100.0);
    setAttr("k.flag", 0.25);
    EXPECT_EQ(number("k.flag"), 1.0);
    bool b = false;
    ASSERT_TRUE(findPlug("k.fl").getValue(b));
    EXPECT_TRUE(b);
}

TEST_F(GraphEdgeTest, ConnectedPlainInputPullsItsSourceWithoutDelivery) {
    // `deliveries` is not internal: a connected value is pulled but never reaches setInternalValue.
    createNode("testClamp", "k");
    createNode("testCounter", "c");
    connect("c.output", "k.deliveries");
    setAttr("c.input", 2);
    EXPECT_EQ(number("k.deliveries"), 4.0);
    EXPECT_FALSE(isDirty("k.deliveries"));
    EXPECT_EQ(number("k.seenInside"), -1.0) << "setInternalValue never ran";
}

TEST_F(GraphEdgeTest, SettingTheSameValueStillDirtiesDependents) {
    createNode("testCounter", "a");
    setAttr("a.input", 1);
    number("a.output");
    setAttr("a.input", 1);
    EXPECT_TRUE(isDirty("a.output"));
    number("a.output");
    EXPECT_EQ(number("a.computeCount"), 2.0) << "the node decides whether an equal value means work";
}

} // namespace
