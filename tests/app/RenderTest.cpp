// `gradix render`: the picture shows the mesh at a plausible size, and the visualizer's red faces
// appear where the cheapest contractions are.
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace apptest;

namespace {

const std::string kSample = GRADIX_SAMPLE;

bool isBackground(const uint8_t* p) {
    // The viewport clears to (0.15, 0.15, 0.18).
    return std::abs(p[0] - 38) <= 2 && std::abs(p[1] - 38) <= 2 && std::abs(p[2] - 46) <= 2;
}

bool isRed(const uint8_t* p) {
    return p[0] > 100 && p[1] < 50 && p[2] < 50;
}

double coverage(const Image& image) {
    size_t covered = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            covered += !isBackground(image.at(x, y));
    return static_cast<double>(covered) / (static_cast<double>(image.width) * image.height);
}

// A 24 x 12 grid in the xy plane: flat where x < 12, crumpled where x >= 12. Flat pairs cost
// nothing, so the cheapest contractions all lie in the left half.
std::string halfFlatSheet() {
    std::string obj;
    for (int y = 0; y <= 12; ++y)
        for (int x = 0; x <= 24; ++x) {
            const double z = x <= 12 ? 0.0 : 0.8 * std::sin(1.9 * x * x + 3.1 * y) * std::cos(2.3 * y + x);
            obj += "v " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z) + "\n";
        }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            const int a = y * 25 + x + 1;
            obj += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 26) +
                   " " + std::to_string(a + 25) + "\n";
        }
    return obj;
}

} // namespace

TEST(Render, MeshCoversAPlausibleShareOfThePicture) {
    ScratchDir dir;
    for (const char* view : {"top", "iso", "front"}) {
        SCOPED_TRACE(view);
        const std::string png = dir.path(std::string(view) + ".png");
        const ToolRun run =
            gradix({"render", kSample, "-o", png, "--percent", "30", "--view", view, "--size", "200x150"});
        ASSERT_EQ(run.status, 0) << run.err;
        Image image;
        ASSERT_TRUE(readPng(png, image));
        EXPECT_EQ(image.width, 200);
        EXPECT_EQ(image.height, 150);
        const double share = coverage(image);
        // The camera frames the mesh's bounding sphere. From the top the 12 x 10 sheet fills much of
        // the frame; from the front it is a thin band under two units high.
        const std::string name = view;
        EXPECT_GT(share, name == "top" ? 0.3 : name == "iso" ? 0.1 : 0.01);
        EXPECT_LT(share, 0.9);
    }
    EXPECT_FALSE(exists(dir.path("top.png.part")));
}

TEST(Render, WireframeDrawsFewerPixelsThanShading) {
    ScratchDir dir;
    ASSERT_EQ(
        gradix({"render", kSample, "-o", dir.path("s.png"), "--view", "top", "--size", "200x150"}).status, 0);
    ASSERT_EQ(gradix({"render", kSample, "-o", dir.path("w.png"), "--view", "top", "--size", "200x150",
                      "--percent", "5", "--wireframe"})
                  .status,
              0);
    Image shaded, wire;
    ASSERT_TRUE(readPng(dir.path("s.png"), shaded));
    ASSERT_TRUE(readPng(dir.path("w.png"), wire));
    EXPECT_GT(coverage(wire), 0.01);
    EXPECT_LT(coverage(wire), 0.8 * coverage(shaded));
}

TEST(Render, VisualizedFacesAreRedWhereContractionsAreCheapest) {
    ScratchDir dir;
    writeText(dir.path("half.obj"), halfFlatSheet());
    const std::string png = dir.path("faces.png");
    const ToolRun run = gradix({"render", dir.path("half.obj"), "-o", png, "--visualize", "faces", "--view",
                                "front", "--size", "240x160", "--range", "0.2"});
    if (run.status != 0 && run.err.find("VisualizerGX") != std::string::npos)
        GTEST_SKIP() << "the plug-in in use has no visualizer: " << run.err;
    ASSERT_EQ(run.status, 0) << run.err;
    Image image;
    ASSERT_TRUE(readPng(png, image));
    size_t left = 0, right = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (isRed(image.at(x, y)))
                (x < image.width / 2 ? left : right) += 1;
    EXPECT_GT(left, 200u);
    EXPECT_LT(right, left / 20 + 1);

    // Without the overlay nothing is red.
    ASSERT_EQ(gradix({"render", dir.path("half.obj"), "-o", dir.path("plain.png"), "--view", "front",
                      "--size", "240x160"})
                  .status,
              0);
    ASSERT_TRUE(readPng(dir.path("plain.png"), image));
    size_t red = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            red += isRed(image.at(x, y));
    EXPECT_EQ(red, 0u);
}
