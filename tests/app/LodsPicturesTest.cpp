// `gradix lods --sheet` and `--report`: the levels side by side at one scale with their labels, and an
// HTML report that a real browser (headless chromium) opens from disk, loading every level.
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace apptest;

namespace {

const std::string kSample = GRADIX_SAMPLE;

bool isSheetBackground(const uint8_t* p) {
    return p[0] == 24 && p[1] == 24 && p[2] == 28;
}
bool isViewportBackground(const uint8_t* p) {
    return std::abs(p[0] - 38) <= 2 && std::abs(p[1] - 38) <= 2 && std::abs(p[2] - 46) <= 2;
}

// The triangle counts of the levels in a lods --json report, finest first.
std::vector<std::string> levelTriangles(const std::string& json) {
    std::vector<std::string> counts;
    const size_t levels = json.find("\"levels\"");
    for (size_t at = json.find("\"triangles\":", levels); at != std::string::npos;
         at = json.find("\"triangles\":", at + 1))
        counts.push_back(std::to_string(static_cast<uint64_t>(jsonNumber(json.substr(at), "triangles"))));
    return counts;
}

std::string attribute(const std::string& dom, const std::string& name) {
    const size_t tag = dom.find("<p id=\"status\""), end = dom.find('>', tag);
    const size_t at = dom.find(" " + name + "=\"", tag);
    if (tag == std::string::npos || at == std::string::npos || at > end)
        return "(none)";
    const size_t start = at + name.size() + 3;
    return dom.substr(start, dom.find('"', start) - start);
}

} // namespace

TEST(LodsPictures, SheetShowsEveryLevelAtOneScaleUnderItsLabel) {
    ScratchDir dir;
    const ToolRun run = gradix({"lods", kSample, "-o", dir.path("chain"), "--levels", "50,4", "--sheet",
                                dir.path("sheet.png"), "--size", "120x90", "--view", "top"});
    ASSERT_EQ(run.status, 0) << run.err;
    Image sheet;
    ASSERT_TRUE(readPng(dir.path("sheet.png"), sheet));
    // Two tiles in a row with room for three lines of text under them.
    ASSERT_GT(sheet.width, 240);
    ASSERT_LT(sheet.width, 280);
    ASSERT_GT(sheet.height, 90 + 3 * 10);
    // Find the tiles along a row through their middle: runs of the viewport's pictures.
    std::vector<std::pair<int, int>> tiles; // first column, width
    const int middle = sheet.height > 0 ? 45 + 4 : 0;
    for (int x = 0; x < sheet.width; ++x)
        if (!isSheetBackground(sheet.at(x, middle))) {
            if (tiles.empty() || tiles.back().first + tiles.back().second != x)
                tiles.push_back({x, 0});
            ++tiles.back().second;
        }
    ASSERT_EQ(tiles.size(), 2u);
    int top = 0;
    while (top < sheet.height && isSheetBackground(sheet.at(tiles[0].first, top)))
        ++top;
    std::vector<double> covered;
    for (const auto& [left, width] : tiles) {
        EXPECT_EQ(width, 120);
        size_t mesh = 0, label = 0;
        for (int y = top; y < top + 90; ++y)
            for (int x = left; x < left + width; ++x)
                mesh += !isViewportBackground(sheet.at(x, y));
        for (int y = top + 90; y < sheet.height; ++y)
            for (int x = left; x < left + width; ++x)
                label += sheet.at(x, y)[0] > 150;
        covered.push_back(static_cast<double>(mesh) / (90.0 * width));
        EXPECT_GT(label, 100u) << "text under the tile at " << left;
    }
    // Seen from the top, the coarse level still spans the same sheet of ground at the same scale.
    EXPECT_GT(covered[0], 0.5);
    EXPECT_NEAR(covered[1], covered[0], 0.1);
}

TEST(LodsPictures, ReportLoadsEveryLevelInAHeadlessBrowser) {
    ScratchDir dir;
    const ToolRun run = gradix({"--json", "lods", kSample, "-o", dir.path("chain"), "--levels", "50,10",
                                "--report", dir.path("report"), "--size", "64x48"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* file :
         {"index.html", "three.min.js", "GLTFLoader.js", "OrbitControls.js", "three-LICENSE.txt",
          "sample_level1.glb", "sample_level1.js", "sample_level2.png"})
        EXPECT_TRUE(exists(dir.path("report/") + file)) << file;
    const std::vector<std::string> triangles = levelTriangles(run.out);
    ASSERT_EQ(triangles.size(), 2u) << run.out;

    const std::string chromium = GRADIX_CHROMIUM;
    if (chromium.empty())
        GTEST_SKIP() << "no chromium to open the report in";
    // WebGL through SwiftShader; the virtual time budget lets the page finish before the DOM is dumped.
    const ToolRun browser = runProgram(
        chromium, {"--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                   "--user-data-dir=" + dir.path("profile"), "--virtual-time-budget=20000", "--dump-dom",
                   "file://" + dir.path("report/index.html") + "#selftest"});
    if (browser.out.find("<html") == std::string::npos)
        FAIL() << "chromium is installed but did not open the page: " << browser.err.substr(0, 400);
    EXPECT_EQ(attribute(browser.out, "data-errors"), "(none)");
    EXPECT_EQ(attribute(browser.out, "data-state"), "ready");
    EXPECT_EQ(attribute(browser.out, "data-triangles"), triangles[0] + "," + triangles[1]);
    EXPECT_EQ(attribute(browser.out, "data-slider"), triangles[0] + "," + triangles[1])
        << "the slider switches levels";
    EXPECT_GT(std::atoi(attribute(browser.out, "data-pixels").c_str()), 500) << "the level was drawn";
}
