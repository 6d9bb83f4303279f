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

} // namespace
