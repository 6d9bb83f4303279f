// Loading and unloading Gradix_Release.mll: the identity, the six registrations in order, and a
// failure at each step, which is reported once, stops, and keeps what was done before it.
#include "Scene.h"

#include <gxhost/Host.h>

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

TEST_F(PluginRegistrationTest, FailedRegistrationStopsAndKeepsEarlierOnes) {
    const struct {
        const char* operation;
        unsigned int nth;
        const char* message;
    } steps[6] = {
        {"MFnPlugin::registerData", 1, "registerData - SlimInfo"},
        {"MFnPlugin::registerNode", 1, "registerNode - Gradix"},
        {"MFnPlugin::registerNode", 2, "registerNode - EditUVs"},
        {"MFnPlugin::registerShape", 1, "registerNode - VisualizerGX"},
        {"MFnPlugin::registerCommand", 1, "registerCommand - addPaintableWeightsGX"},
        {"MFnPlugin::registerCommand", 2, "registerCommand - setupShaders"},
    };
    for (int step = 0; step < 6; ++step) {
        gxhost::injectFault(steps[step].operation, steps[step].nth, MStatus::kInvalidParameter);
        gxhost::MessageCapture capture;
        EXPECT_FALSE(gxhost::loadPlugin(GRADIX_PLUGIN));
        ASSERT_FALSE(capture.errors().empty());
        // Ours is the only line from the plug-in; the host adds its own after it.
        EXPECT_EQ(capture.errors()[0],
                  std::string("(kInvalidParameter): Object is incompatible with this method --> ") +
                      steps[step].message);
        EXPECT_EQ(capture.errors().size(), 2u);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(registered(kItems[i]), i < step) << steps[step].message << ": " << kItems[i].name;
        gxhost::clearFaults();
        gxhost::MessageCapture quiet;
        gxhost::resetScene();
    }
}

TEST_F(PluginRegistrationTest, FailedDeregistrationStopsAndKeepsLaterOnes) {
    // Unloading order: Gradix, EditUVs, VisualizerGX, the two commands, then the data type.
    const struct {
        const char* operation;
        unsigned int nth;
        const char* message;
        int item; // index in kItems
    } steps[6] = {
        {"MFnPlugin::deregisterNode", 1, "deregisterNode - Gradix", 1},
        {"MFnPlugin::deregisterNode", 2, "deregisterNode - EditUVs", 2},
        {"MFnPlugin::deregisterNode", 3, "deregisterNode - VisualizerGX", 3},
        {"MFnPlugin::deregisterCommand", 1, "deregisterCommand - addPaintableWeightsGX", 4},
        {"MFnPlugin::deregisterCommand", 2, "deregisterCommand - setupShaders", 5},
        {"MFnPlugin::deregisterData", 1, "deregisterData - SlimInfo", 0},
    };
    for (int step = 0; step < 6; ++step) {
        std::string name;
        ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN, &name));
        gxhost::injectFault(steps[step].operation, steps[step].nth);
        gxhost::MessageCapture capture;
        EXPECT_FALSE(gxhost::unloadPlugin(name));
        ASSERT_FALSE(capture.errors().empty());
        EXPECT_EQ(capture.errors()[0], kFailure + steps[step].message);
        for (int later = step; later < 6; ++later)
            EXPECT_TRUE(registered(kItems[steps[later].item])) << steps[step].message << ": " << later;
        for (int earlier = 0; earlier < step; ++earlier)
            EXPECT_FALSE(registered(kItems[steps[earlier].item])) << steps[step].message << ": " << earlier;
        gxhost::clearFaults();
        gxhost::MessageCapture quiet;
        gxhost::resetScene();
    }
}

} // namespace
