// The visualizer drawn through the OSMesa viewport: a bumpy 8 x 8 grid feeds a "Gradix" node whose
// record, with the grid's points, feeds a "VisualizerGX" shape. The expected faces and pairs are
// worked out from the engine's queue; the tests read the rendered pixels.
#include "PluginFixture.h"

#include "Access.h"
#include "Node.h"
#include "QSlim.h"
#include "SlimInfoAttribute.h"

#include <gxhost/Viewport.h>

#include <maya/MDrawInfo.h>
#include <maya/MDrawRequestQueue.h>
#include <maya/MFnPluginData.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <algorithm>
#include <array>
#include <set>

using gxhost::Viewport;
using Pixel = std::array<uint8_t, 4>;

namespace {

constexpr int kSize = 96;
constexpr double kHalf = 1.1;

class VisualizerPictureTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        meshNode(grid(8, "src"));
        MStatus status;
        gxhost::createNode("Gradix", "gx", &status);
        ASSERT_TRUE(status);
        gxhost::createNode("VisualizerGX", "vis", &status);
        ASSERT_TRUE(status);
        ASSERT_TRUE(gxhost::connect("src.outMesh", "gx.inMesh"));
        ASSERT_TRUE(gxhost::connect("gx.outSlimInfo", "vis.inSlimInfo"));
        ASSERT_TRUE(gxhost::connect("src.outMesh", "vis.inMesh"));
        view = std::make_unique<Viewport>(kSize, kSize, &status);
        ASSERT_TRUE(status);
        gxhost::Camera camera;
        camera.eye = {0, 0, 5};
        camera.halfHeight = kHalf;
        view->setCamera(camera);
        view->setBackground(0.0f, 0.0f, 0.0f);
    }

    const SlimInfoAttribute& record() {
        MObject data;
        EXPECT_TRUE(gxhost::getAttr("gx.outSlimInfo", data));
        MFnPluginData fn(data);
        info = *static_cast<SlimInfoAttribute*>(fn.data());
        return info;
    }
    // The engine's pending pairs, cheapest first.
    std::vector<gdx::Edge> rankedPairs() {
        const gdx::QSlim& engine = *record().engine;
        std::vector<gdx::Edge> pairs;
        for (uint32_t i = 0; i < engine.queue().size(); ++i)
            pairs.push_back(engine.queued(i));
        std::sort(pairs.begin(), pairs.end(), gdx::edgeLess);
        return pairs;
    }
    // Active faces using both (removed) or at least one (touched) vertex of a pair.
    std::vector<uint32_t> faces(const gdx::Edge& pair, bool both) {
        const gdx::Model& m = *record().model;
        std::vector<uint32_t> out;
        for (uint32_t f = 0; f < m.numFaces(); ++f) {
            const gdx::Face& face = m.face(f);
            const int uses = face.hasVertex(pair.first) + face.hasVertex(pair.second);
            if (m.faceState(f).active && uses >= (both ? 2 : 1))
                out.push_back(f);
        }
        return out;
    }
    // Faces no pair of the first `shown` touches.
    std::vector<uint32_t> untouchedFaces(size_t shown) {
        std::set<uint32_t> touched;
        const auto pairs = rankedPairs();
        for (size_t i = 0; i < shown; ++i)
            for (uint32_t f : faces(pairs[i], false))
                touched.insert(f);
        std::vector<uint32_t> out;
        for (uint32_t f = 0; f < record().model->numFaces(); ++f)
            if (!touched.count(f))
                out.push_back(f);
        return out;
    }

    static std::array<int, 2> toPixel(double x, double y) {
        return {int((x / kHalf + 1.0) * 0.5 * kSize), int((1.0 - y / kHalf) * 0.5 * kSize)};
    }
    std::array<int, 2> centre(uint32_t f) {
        const gdx::Model& m = *record().model;
        double x = 0, y = 0;
        for (int c = 0; c < 3; ++c) {
            x += m.positions()[m.face(f).vertex(c)].x / 3.0;
            y += m.positions()[m.face(f).vertex(c)].y / 3.0;
        }
        return toPixel(x, y);
    }
    // The 3 x 3 block of pixels around a face's centre.
    std::vector<Pixel> block(uint32_t f) {
        const auto c = centre(f);
        std::vector<Pixel> out;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                out.push_back(view->pixel(c[0] + dx, c[1] + dy));
        return out;
    }
    static bool red(const Pixel& p) { return p[0] > 30 && p[1] < 10 && p[2] < 10; }
    static int count(const std::vector<Pixel>& ps, bool (*pred)(const Pixel&)) {
        return int(std::count_if(ps.begin(), ps.end(), pred));
    }
    int redPixels() {
        int reds = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                reds += red(view->pixel(x, y));
        return reds;
    }
    // What the named visualizer's drawing class queues, shaded and dormant unless told.
    MDrawRequestQueue drawRequests(const char* name, M3dView::DisplayStyle style = M3dView::kGouraudShaded,
                                   M3dView::DisplayStatus status = M3dView::kDormant) {
        MDrawRequestQueue queue;
        gxhost::asNode(gxhost::findNode(name))
            ->ui->getDrawRequests(MDrawInfo(M3dView(view.get()), style, status), false, queue);
        return queue;
    }

    std::unique_ptr<Viewport> view;
    SlimInfoAttribute info;
};

TEST_F(VisualizerPictureTest, FacesOfTheCheapestPairsAreRedAndFarFacesAreNot) {
    ASSERT_TRUE(view->refresh(M3dView::kGouraudShaded, M3dView::kDormant));
    const auto pairs = rankedPairs();
    ASSERT_GT(pairs.size(), 50u);
    const auto removed = faces(pairs[0], true);
    ASSERT_FALSE(removed.empty());
    for (uint32_t f : removed)
        EXPECT_GE(count(block(f), red), 6) << "face " << f << " of the cheapest pair";
    const auto far = untouchedFaces(pairs.size() / 5);
    ASSERT_FALSE(far.empty());
    for (uint32_t f : far) {
        const auto ps = block(f);
        EXPECT_EQ(count(ps, red), 0) << "face " << f;
        // The grey mesh shows through where nothing is drawn on it.
        EXPECT_GT(ps[4][0], 60);
        EXPECT_EQ(ps[4][0], ps[4][1]);
    }
}

TEST_F(VisualizerPictureTest, StippleLeavesAQuarterOfTheFaceToTheMeshAndAlphaCoversItAll) {
    const auto pairs = rankedPairs();
    const uint32_t f = faces(pairs[0], true)[0];
    // The stipple's every other pixel on every other row is clear: the grey mesh shows there.
    ASSERT_TRUE(view->refresh());
    auto ps = block(f);
    EXPECT_GE(count(ps, red), 6);
    EXPECT_GE(count(ps, [](const Pixel& p) { return p[0] > 60 && p[0] == p[1]; }), 1);

    // Alpha blends red over the mesh: a face at full intensity is pure red everywhere, a weaker one
    // keeps some of the grey underneath.
    ASSERT_TRUE(gxhost::setAttr("vis.blendFunction", 1));
    ASSERT_TRUE(gxhost::setAttr("vis.threshold", 0.0));
    ASSERT_TRUE(gxhost::setAttr("vis.upperBound", 0.05));
    ASSERT_TRUE(view->refresh());
    ps = block(f);
    EXPECT_EQ(count(ps, [](const Pixel& p) { return p[0] == 255 && p[1] == 0 && p[2] == 0; }), 9);
    ASSERT_TRUE(gxhost::setAttr("vis.upperBound", 1.0));
    ASSERT_TRUE(view->refresh());
    bool blended = false;
    for (uint32_t g = 0; g < record().model->numFaces(); ++g) {
        const Pixel p = block(g)[4];
        blended = blended || (p[0] > p[1] + 20 && p[1] > 20 && p[1] == p[2]);
    }
    EXPECT_TRUE(blended) << "some face between the mesh's grey and red";
}

TEST_F(VisualizerPictureTest, LinesDrawTheCheapestPairThickest) {
    ASSERT_TRUE(gxhost::setAttr("vis.method", 1));
    view->setDrawMeshes(false);
    ASSERT_TRUE(view->refresh());
    const auto pairs = rankedPairs();
    const size_t shown = size_t(float(pairs.size()) * 0.2f);
    const gdx::Model& m = *record().model;
    // Pixels of the line colour across the line at the middle of a pair, scanning along the axis
    // closer to the line's normal.
    auto width = [&](const gdx::Edge& e) {
        const auto& a = m.positions()[e.first];
        const auto& b = m.positions()[e.second];
        const auto c = toPixel(0.5 * (a.x + b.x), 0.5 * (a.y + b.y));
        const bool vertical = std::abs(a.x - b.x) < std::abs(a.y - b.y);
        int n = 0;
        for (int d = -6; d <= 6; ++d) {
            const Pixel p = vertical ? view->pixel(c[0] + d, c[1]) : view->pixel(c[0], c[1] + d);
            n += p[0] > 200 && p[1] > 200;
        }
        return n;
    };
    EXPECT_GE(width(pairs[0]), 5);
    EXPECT_LE(width(pairs[shown - 1]), 3);
    EXPECT_GE(width(pairs[shown - 1]), 1);
    // A pair beyond the range is not drawn at all.
    EXPECT_EQ(width(pairs.back()), 0);
}

TEST_F(VisualizerPictureTest, TokenFollowsDisplayStyleAndStatus) {
    auto token = [&](M3dView::DisplayStyle style, M3dView::DisplayStatus status) {
        MDrawRequestQueue queue = drawRequests("vis", style, status);
        EXPECT_EQ(queue.length(), 1u);
        return queue.isEmpty() ? -1 : queue.remove().token();
    };
    EXPECT_EQ(token(M3dView::kWireFrame, M3dView::kActive), 1);
    EXPECT_EQ(token(M3dView::kGouraudShaded, M3dView::kActive), 3);
    EXPECT_EQ(token(M3dView::kFlatShaded, M3dView::kHilite), 3);
    EXPECT_EQ(token(M3dView::kGouraudShaded, M3dView::kLead), 3);
    EXPECT_EQ(token(M3dView::kGouraudShaded, M3dView::kDormant), 2);
    EXPECT_EQ(token(M3dView::kGouraudShaded, M3dView::kLive), 2);
    ASSERT_TRUE(gxhost::setAttr("vis.method", 1));
    EXPECT_EQ(token(M3dView::kWireFrame, M3dView::kActive), 0);

    // In wireframe the faces show between the mesh's lines; shaded and active they sit behind the
    // mesh surface, which hides them.
    ASSERT_TRUE(gxhost::setAttr("vis.method", 0));
    const uint32_t f = faces(rankedPairs()[0], true)[0];
    ASSERT_TRUE(view->refresh(M3dView::kWireFrame, M3dView::kActive));
    EXPECT_GE(count(block(f), red), 6);
    ASSERT_TRUE(view->refresh(M3dView::kGouraudShaded, M3dView::kActive));
    EXPECT_EQ(count(block(f), red), 0);
}

TEST_F(VisualizerPictureTest, RangeZeroOrNegativeAMeshWithTooFewPointsOrARecordOfADeletedNodeDrawsNothing) {
    auto expectNothingDrawn = [&](const std::vector<std::string>& errors) {
        gxhost::MessageCapture capture;
        ASSERT_TRUE(view->refresh());
        EXPECT_EQ(capture.errors(), errors);
        EXPECT_EQ(redPixels(), 0);
    };
    ASSERT_TRUE(view->refresh());
    ASSERT_GT(redPixels(), 0) << "drawn at the default range";
    for (double range : {0.0, -0.5}) {
        ASSERT_TRUE(gxhost::setAttr("vis.range", range));
        expectNothingDrawn({});
    }
    ASSERT_TRUE(gxhost::setAttr("vis.range", 0.2));
    meshNode(grid(2, "small"));
    ASSERT_TRUE(gxhost::connect("small.outMesh", "vis.inMesh", true));
    expectNothingDrawn({"(kFailure): Unexpected Internal Failure --> VisualizerGXUINode::getDrawRequests: "
                        "The mesh on 'inMesh' has 9 points, the simplified model needs 81"});
    // Back to the right mesh it draws again; a record left by a deleted node is not read.
    ASSERT_TRUE(gxhost::connect("src.outMesh", "vis.inMesh", true));
    ASSERT_TRUE(view->refresh());
    ASSERT_GT(redPixels(), 0);
    ASSERT_TRUE(gxhost::disconnect("gx.outSlimInfo", "vis.inSlimInfo"));
    ASSERT_TRUE(gxhost::deleteNode(gxhost::findNode("gx")));
    expectNothingDrawn({});
}

TEST_F(VisualizerPictureTest, MissingRecordOrAFailedParameterQueuesNothingAfterReportingIt) {
    // A second visualizer with a mesh but no record (a disconnected input keeps its last value).
    gxhost::createNode("VisualizerGX", "bare");
    ASSERT_TRUE(gxhost::connect("src.outMesh", "bare.inMesh"));
    gxhost::MessageCapture capture;
    EXPECT_TRUE(drawRequests("bare").isEmpty());
    ASSERT_EQ(capture.errors().size(), 1u);
    EXPECT_NE(
        capture.errors()[0].find("--> VisualizerGXUINode::getDrawRequests: Couldn't create MFnPluginData "
                                 "from data for 'inSlimInfo'"),
        std::string::npos)
        << capture.errors()[0];
    // A parameter that cannot be read is reported twice.
    EXPECT_FALSE(drawRequests("vis").isEmpty());
    capture.clear();
    gxhost::injectFault("MPlug::getValue", 4); // threshold
    EXPECT_TRUE(drawRequests("vis").isEmpty());
    const std::string failure = "(kFailure): Unexpected Internal Failure --> VisualizerGXUINode::";
    EXPECT_EQ(capture.errors(),
              (std::vector<std::string>{failure + "getParameters: Couldn't get data from plug to 'threshold'",
                                        failure + "getDrawRequests: Couldn't get Parameters"}));
}

} // namespace
