// Loading and unloading Gradix_Release.mll: the identity, the six registrations in order, and a
// failure at each step, which is reported once, stops, and keeps what was done before it.
// The "VisualizerGX" shape node: its settings, its input flags and the failures of its attribute
// set-up.
#include "Scene.h"

#include <gxhost/Host.h>

#include "PluginFixture.h"
#include <gtest/gtest.h>

namespace {

const std::string kFailure = "(kFailure): Unexpected Internal Failure --> ";

// The six items, in registration order.
struct Item {
    const char* kind;
    const char* name;
};
const Item kItems[6] = {{"data", "SlimInfoAttributeGX"},
                        {"node", "Gradix"},
                        {"node", "EditUVs"},
                        {"node", "VisualizerGX"},
                        {"command", "addPaintableWeightsGX"},
                        {"command", "setupShaders"}};

bool registered(const Item& item) {
    const std::string kind = item.kind;
    if (kind == "data")
        return gxhost::isDataTypeRegistered(item.name);
    if (kind == "node")
        return gxhost::isNodeTypeRegistered(item.name);
    return gxhost::isCommandRegistered(item.name);
}

class PluginRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { gxhost::resetScene(); }
    void TearDown() override {
        gxhost::clearFaults();
        gxhost::MessageCapture quiet;
        gxhost::resetScene();
    }
};

TEST_F(PluginRegistrationTest, LoadRegistersSixItemsAndUnloadRemovesThem) {
    // The order and count of the calls are what the failure tables below pin down.
    gxhost::MessageCapture capture;
    std::string name;
    ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN, &name));
    EXPECT_TRUE(capture.messages().empty());
    for (const Item& item : kItems)
        EXPECT_TRUE(registered(item)) << item.name;

    const gxhost::Plugin* plugin = gxhost::Scene::get().findPlugin(name);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(name, "Gradix_Release");
    EXPECT_EQ(plugin->apiVersion, "450");
    EXPECT_EQ(plugin->version, "0.6.5");
    EXPECT_EQ(plugin->vendor, "Gradix developers");
    EXPECT_EQ(plugin->requiredApiVersion, "Any");

    ASSERT_TRUE(gxhost::unloadPlugin(name));
    for (const Item& item : kItems)
        EXPECT_FALSE(registered(item)) << item.name;
    EXPECT_TRUE(capture.messages().empty());
}

// Each failure is reported once and stops: registering keeps the items before it, unregistering
// (Gradix, EditUVs, VisualizerGX, the two commands, then the data type) keeps the ones after it.
TEST_F(PluginRegistrationTest, FailedStepStopsAndKeepsWhatItDidNotReach) {
    const struct {
        const char *operation, *message;
        unsigned int nth;
        int item; // index in kItems
    } steps[2][6] = {{{"MFnPlugin::registerData", "registerData - SlimInfo", 1, 0},
                      {"MFnPlugin::registerNode", "registerNode - Gradix", 1, 1},
                      {"MFnPlugin::registerNode", "registerNode - EditUVs", 2, 2},
                      {"MFnPlugin::registerShape", "registerNode - VisualizerGX", 1, 3},
                      {"MFnPlugin::registerCommand", "registerCommand - addPaintableWeightsGX", 1, 4},
                      {"MFnPlugin::registerCommand", "registerCommand - setupShaders", 2, 5}},
                     {{"MFnPlugin::deregisterNode", "deregisterNode - Gradix", 1, 1},
                      {"MFnPlugin::deregisterNode", "deregisterNode - EditUVs", 2, 2},
                      {"MFnPlugin::deregisterNode", "deregisterNode - VisualizerGX", 3, 3},
                      {"MFnPlugin::deregisterCommand", "deregisterCommand - addPaintableWeightsGX", 1, 4},
                      {"MFnPlugin::deregisterCommand", "deregisterCommand - setupShaders", 2, 5},
                      {"MFnPlugin::deregisterData", "deregisterData - SlimInfo", 1, 0}}};
    for (const bool unload : {false, true})
        for (int step = 0; step < 6; ++step) {
            const auto& s = steps[unload][step];
            SCOPED_TRACE(s.message);
            std::string name;
            if (unload) {
                ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN, &name));
            }
            gxhost::injectFault(s.operation, s.nth, unload ? MStatus::kFailure : MStatus::kInvalidParameter);
            gxhost::MessageCapture capture;
            EXPECT_FALSE(unload ? gxhost::unloadPlugin(name) : gxhost::loadPlugin(GRADIX_PLUGIN));
            ASSERT_FALSE(capture.errors().empty());
            // Ours is the only line from the plug-in; the host adds its own after it.
            EXPECT_EQ(
                capture.errors()[0],
                (unload ? kFailure : "(kInvalidParameter): Object is incompatible with this method --> ") +
                    std::string(s.message));
            EXPECT_TRUE(unload || capture.errors().size() == 2u);
            for (int other = 0; other < 6; ++other)
                EXPECT_EQ(registered(kItems[steps[unload][other].item]),
                          unload ? other >= step : other < step)
                    << kItems[steps[unload][other].item].name;
            gxhost::clearFaults();
            gxhost::MessageCapture quiet;
            gxhost::resetScene();
        }
}


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
