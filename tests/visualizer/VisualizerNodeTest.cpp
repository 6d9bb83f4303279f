// The "VisualizerGX" shape node: its settings, its input flags and the failures of its attribute
// set-up, seen through the product plug-in.
#include "PluginFixture.h"

namespace {

class VisualizerNodeTest : public PluginFixture {};

TEST_F(VisualizerNodeTest, FreshNodeHasTheDefaultSettings) {
    ASSERT_FALSE(gxhost::createNode("VisualizerGX", "vis").isNull());
    const struct {
        const char* plug;
        double value;
    } defaults[] = {{"vis.range", 0.2f},      {"vis.rng", 0.2f},
                    {"vis.deadFactor", 1.0f}, {"vis.modifiedFactor", 0.5f},
                    {"vis.threshold", 0.15f}, {"vis.upperBound", 0.9f},
                    {"vis.method", 0},        {"vis.function", 0},
                    {"vis.blendFunction", 0}};
    for (const auto& d : defaults) {
        double v = -1.0;
        ASSERT_TRUE(gxhost::getAttr(d.plug, v)) << d.plug;
        EXPECT_EQ(v, d.value) << d.plug;
    }
    // Settings are plain stored values: nothing clamps them.
    ASSERT_TRUE(gxhost::setAttr("vis.thr", -0.5));
    double v = 0.0;
    ASSERT_TRUE(gxhost::getAttr("vis.threshold", v));
    EXPECT_EQ(v, -0.5);
}

TEST_F(VisualizerNodeTest, InputsCanOnlyBeConnectedInto) {
    meshNode(grid(2, "src"));
    gxhost::createNode("VisualizerGX", "vis");
    gxhost::createNode("mesh", "copy");
    ASSERT_TRUE(gxhost::connect("src.outMesh", "vis.inMesh"));
    gxhost::MessageCapture capture;
    EXPECT_FALSE(gxhost::connect("vis.inMesh", "copy.inMesh"));
    EXPECT_FALSE(gxhost::connect("vis.isi", "copy.inMesh"));
}

// Calls of `operation` made by registrations before the shape's: the shape's first call is the
// next one.
unsigned int callsBeforeShape(const std::string& operation) {
    gxhost::resetScene();
    gxhost::injectFault(operation, 100000);
    gxhost::injectFault("MFnPlugin::registerShape", 1);
    gxhost::MessageCapture quiet;
    gxhost::loadPlugin(GRADIX_PLUGIN);
    const unsigned int calls = gxhost::faultCalls(operation);
    gxhost::clearFaults();
    gxhost::resetScene();
    return calls;
}

TEST_F(VisualizerNodeTest, EachFailedSetUpStepIsReportedAndStopsRegistration) {
    const struct {
        const char* operation;
        unsigned int nth; // among the shape's own calls
        const char* message;
    } cases[] = {
        {"MFnTypedAttribute::create", 1, "Couldn't create attribute 'inSlimInfo'"},
        {"MFnTypedAttribute::create", 2, "Couldn't create attribute 'inMesh'"},
        {"MFnNumericAttribute::create", 1, "Couldn't create attribute 'range'"},
        {"MFnNumericAttribute::create", 5, "Couldn't create attribute 'upperBound'"},
        {"MFnEnumAttribute::create", 1, "Couldn't create attribute 'method'"},
        {"MFnEnumAttribute::create", 2, "Couldn't create attribute 'function'"},
        {"MFnEnumAttribute::create", 3, "Couldn't create attribute 'BlendFunction'"},
        {"MFnEnumAttribute::addField", 2, "Couldn't addField 'method::lines'"},
        {"MFnEnumAttribute::addField", 3, "Couldn't addField 'function::cosinus'"},
        {"MFnEnumAttribute::addField", 5, "Couldn't addField 'BlendFunction::stipple'"},
        {"MPxNode::addAttribute", 1, "Couldn't addAttribute 'smInSlimInfo'"},
        {"MPxNode::addAttribute", 3, "Couldn't addAttribute 'smMethod'"},
        {"MPxNode::addAttribute", 10, "Couldn't addAttribute 'smBlendFunction'"},
    };
    for (const auto& c : cases) {
        const unsigned int before = callsBeforeShape(c.operation);
        gxhost::injectFault(c.operation, before + c.nth);
        gxhost::MessageCapture capture;
        EXPECT_FALSE(gxhost::loadPlugin(GRADIX_PLUGIN));
        const auto errors = capture.errors();
        ASSERT_GE(errors.size(), 2u) << c.message;
        EXPECT_EQ(errors[0],
                  std::string("(kFailure): Unexpected Internal Failure --> VisualizerGXNode::initialize: ") +
                      c.message);
        EXPECT_EQ(errors[1], "(kFailure): Unexpected Internal Failure --> registerNode - VisualizerGX");
        EXPECT_FALSE(gxhost::isNodeTypeRegistered("VisualizerGX"));
        EXPECT_TRUE(gxhost::isNodeTypeRegistered("EditUVs"));
        gxhost::clearFaults();
        gxhost::resetScene();
    }
}

} // namespace
