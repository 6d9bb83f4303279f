// The OSMesa viewport: shapes' draw requests are drawn with their colours; frames save as PNG.
#include "HostFixture.h"

#include <gxhost/Viewport.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace gxhost;

namespace {

class ViewportTest : public HostFixture {
protected:
    // Looks down -z at the square [-1, 1]^2, so scene x = -1 .. 1 maps to pixels 0 .. 64.
    Camera front() {
        Camera c;
        c.eye = {0, 0, 5};
        c.halfHeight = 1.0;
        return c;
    }
    static bool isRed(std::array<uint8_t, 4> p) { return p[0] == 255 && p[1] == 0 && p[2] == 0; }
    static bool isBackground(std::array<uint8_t, 4> p) { return p[0] < 60 && p[1] < 60 && p[2] < 60; }
};

TEST_F(ViewportTest, ShapeDrawRequestIsDrawnInItsColour) {
    createNode("testSquare", "sq");
    MStatus status;
    Viewport view(64, 64, &status);
    ASSERT_TRUE(status);
    view.setCamera(front());
    ASSERT_TRUE(view.refresh());
    EXPECT_TRUE(isRed(view.pixel(32, 32)));
    EXPECT_TRUE(isRed(view.pixel(17, 46)));
    EXPECT_TRUE(isBackground(view.pixel(2, 2)));
    EXPECT_TRUE(isBackground(view.pixel(62, 32)));

    // The shape reads its size at draw time.
    ASSERT_TRUE(setAttr("sq.size", 0.25));
    ASSERT_TRUE(view.refresh());
    EXPECT_TRUE(isRed(view.pixel(32, 32)));
    EXPECT_TRUE(isBackground(view.pixel(17, 46)));

    // In wireframe the shape draws only its outline.
    ASSERT_TRUE(view.refresh(M3dView::kWireFrame, M3dView::kActive));
    EXPECT_TRUE(isBackground(view.pixel(32, 32)));
}

TEST_F(ViewportTest, MeshNodesAreDrawnShaded) {
    MObject mesh = createNode("mesh", "ground");
    MFloatPointArray points;
    for (float y : {-0.9f, 0.9f})
        for (float x : {-0.9f, 0.9f})
            points.append(MFloatPoint(x, y, -1.0f));
    MIntArray counts(1, 4), verts;
    verts.vec() = {0, 1, 3, 2};
    MFnMesh fn;
    ASSERT_TRUE(fn.create(4, 1, points, counts, verts, mesh) == mesh);
    Viewport view(64, 64);
    view.setCamera(front());
    ASSERT_TRUE(view.refresh());
    auto p = view.pixel(10, 10);
    EXPECT_GT(p[0], 90) << "lit grey";
    EXPECT_EQ(p[0], p[1]);
    EXPECT_TRUE(isBackground(view.pixel(1, 1)));

    view.setMeshFilter([](const std::string& name) { return name != "ground"; });
    ASSERT_TRUE(view.refresh());
    EXPECT_TRUE(isBackground(view.pixel(10, 10))) << "filtered meshes are not drawn";
}

TEST_F(ViewportTest, SavedFrameIsAPng) {
    createNode("testSquare", "sq");
    Viewport view(40, 30);
    view.frameScene();
    ASSERT_TRUE(view.refresh());
    std::string path = ::testing::TempDir() + "gx_viewport_test_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(view.savePNG(path));
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 33u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19], 40);
    EXPECT_EQ((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23], 30);
    std::remove(path.c_str());

    MessageCapture capture;
    EXPECT_FALSE(view.savePNG("/nonexistent/dir/frame.png"));
    EXPECT_EQ(capture.errors(), std::vector<std::string>{
                                    "Cannot write '/nonexistent/dir/frame.png': No such file or directory"});
}

} // namespace
