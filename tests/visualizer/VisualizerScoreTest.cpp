// Face scores, normalising value and selection of the faces mode, on a hand-built model with
// hand-ranked candidate pairs (the drawing class's preparation called directly).
//
//   A = (0, 1, 2)   B = (3, 4, 5)   C = (6, 7, 8)   D = (9, 10, 11), removed from the model
//   rank 0: (0, 1) removes A       rank 5: (2, 3) changes A and B       rank 7: (6, 12) changes C
//   every other rank: a pair of two vertices without faces
#include "Edge.h"
#include "Model.h"
#include "VisualizerGXUINode.h"

#include <gxhost/Viewport.h>

#include <maya/MDrawInfo.h>
#include <maya/MDrawRequestQueue.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class VisualizerScoreTest : public ::testing::Test {
protected:
    static constexpr uint32_t kVertices = 13 + 2 * 50;

    void SetUp() override {
        model = std::make_unique<gdx::Model>(kVertices, 4);
        for (uint32_t v = 0; v < kVertices; ++v) {
            model->positions().push_back(gdx::FloatPoint{float(v), float(v % 3), 0.0f, 1.0f});
            points.append(MFloatPoint(float(v), float(v % 3), 0.0f));
        }
        model->setNumUVSets(1);
        for (uint32_t f = 0; f < 4; ++f) {
            uint32_t w[3];
            for (uint32_t c = 0; c < 3; ++c)
                w[c] = model->addWedge(3 * f + c, gdx::DoubleVector{0, 0, 1}, gdx::Color{},
                                       gdx::FloatArray{0, 0});
            model->addFace(3 * f, 3 * f + 1, 3 * f + 2, w[0], w[1], w[2], true);
        }
        model->splitDisconnectedWedges();
        model->removeFace(3);
        setPairs(50);
        VisualizerGXUINode::sharedUpperBound = 0.9f;
    }

    void setPairs(uint32_t count) {
        edges.clear();
        for (uint32_t i = 0; i < count; ++i)
            edges.emplace_back(13 + 2 * i, 14 + 2 * i);
        edges[0] = gdx::Edge(0, 1);
        if (count > 5)
            edges[5] = gdx::Edge(2, 3);
        if (count > 7)
            edges[7] = gdx::Edge(6, 12);
        candidates.clear();
        for (const gdx::Edge& e : edges)
            candidates.push_back(&e);
    }

    // One faces preparation with the given settings (deadFactor 1, modifiedFactor 0.5).
    MDrawRequestQueue prepare(float range, float threshold, short function = 0) {
        MDrawRequestQueue queue;
        MDrawInfo info(M3dView(), M3dView::kGouraudShaded, M3dView::kDormant);
        ui.requestFaces(info, queue, *model, candidates, points, range, 1.0f, 0.5f, threshold, function);
        return queue;
    }
    const std::vector<float>& scores() { return VisualizerGXUINode::faceScores(); }

    std::unique_ptr<gdx::Model> model;
    MFloatPointArray points;
    std::vector<gdx::Edge> edges;
    VisualizerGXUINode::Candidates candidates;
    VisualizerGXUINode ui;
};

TEST_F(VisualizerScoreTest, WorkedExampleWithTheDefaults) {
    MDrawRequestQueue queue = prepare(0.2f, 0.15f);
    ASSERT_EQ(scores().size(), 4u);
    EXPECT_FLOAT_EQ(scores()[0], 1.25f);                                             // A: 1 x 1 + 0.5 x 0.5
    EXPECT_FLOAT_EQ(scores()[1], 0.25f);                                             // B: 0.5 x 0.5
    EXPECT_NEAR(scores()[2], 0.5f * VisualizerGXUINode::rankWeight(7, 10, 0), 1e-7); // C
    EXPECT_FLOAT_EQ(VisualizerGXUINode::sharedUpperBound, 1.125f);
    // A (10/9, full intensity) and B (2/9) pass, C (below 0.15) and the removed D (0) do not.
    ASSERT_EQ(ui.drawValues.length(), 2u);
    EXPECT_FLOAT_EQ(ui.drawValues[0], 1.25f);
    EXPECT_FLOAT_EQ(ui.drawValues[1], 0.25f);
    ASSERT_EQ(ui.drawPoints.length(), 6u);
    for (uint32_t c = 0; c < 3; ++c) {
        EXPECT_EQ(ui.drawPoints[c].x, float(c));
        EXPECT_EQ(ui.drawPoints[3 + c].x, float(3 + c));
    }
    ASSERT_EQ(queue.length(), 1u);
    MDrawRequest request = queue.remove();
    EXPECT_EQ(request.token(), VisualizerGXUINode::kFacesDormant);
    EXPECT_EQ(request.color(), M3dView::colorAtIndex(12, M3dView::kActiveColors));
}

TEST_F(VisualizerScoreTest, RangeAboveOneShowsEveryPairAndZeroShowsNone) {
    prepare(1.5f, 0.15f);
    const std::vector<float> wide = scores();
    prepare(1.0f, 0.15f);
    EXPECT_EQ(scores(), wide);
    // With all 50 shown, pair 5 of 50 weighs more than pair 5 of 10.
    EXPECT_GT(wide[1], 0.25f);

    MDrawRequestQueue queue = prepare(0.0f, 0.15f);
    EXPECT_EQ(scores(), std::vector<float>(4, 0.0f));
    EXPECT_EQ(VisualizerGXUINode::sharedUpperBound, 0.0f);
    EXPECT_EQ(ui.drawValues.length(), 0u);
    EXPECT_EQ(queue.length(), 1u) << "a request with no faces is still queued";
}

TEST_F(VisualizerScoreTest, ShownCountAndRankWeights) {
    EXPECT_EQ(VisualizerGXUINode::shownCount(7, 0.5f), 3u);
    EXPECT_EQ(VisualizerGXUINode::shownCount(50, 0.2f), 10u);
    EXPECT_EQ(VisualizerGXUINode::shownCount(50, 1.5f), 50u);
    EXPECT_EQ(VisualizerGXUINode::shownCount(50, 0.0f), 0u);
    EXPECT_EQ(VisualizerGXUINode::shownCount(50, -0.3f), 0u);
    EXPECT_FLOAT_EQ(VisualizerGXUINode::rankWeight(0, 10, 0), 1.0f);
    EXPECT_FLOAT_EQ(VisualizerGXUINode::rankWeight(5, 10, 0), 0.5f);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(VisualizerGXUINode::rankWeight(i, 4, 1), 1.0f - 0.25f * float(i));

    // Linear, n = 4 (range 0.1 of 40): A is removed at weight 1, B at weight 0.25 by rank 3; rank 5
    // is not reached.
    setPairs(40);
    edges[3] = gdx::Edge(4, 5);
    prepare(0.1f, 0.15f, 1);
    EXPECT_FLOAT_EQ(scores()[0], 1.0f);
    EXPECT_FLOAT_EQ(scores()[1], 0.25f);
}

TEST_F(VisualizerScoreTest, ThresholdSelectsTheFacesAboveIt) {
    // A face exactly at the threshold is not drawn.
    prepare(0.2f, 0.25f / (1.25f * 0.9f));
    ASSERT_EQ(ui.drawValues.length(), 1u);
    EXPECT_FLOAT_EQ(ui.drawValues[0], 1.25f);
    // A negative threshold selects every face, the removed one too.
    prepare(0.2f, -0.01f);
    ASSERT_EQ(ui.drawValues.length(), 4u);
    EXPECT_EQ(ui.drawValues[3], 0.0f) << "face D, removed, scores 0";
    EXPECT_EQ(ui.drawPoints[9].x, 9.0f);
    // Without candidates 0 / 0 selects nothing, even below a negative threshold; a request is queued.
    candidates.clear();
    EXPECT_EQ(prepare(0.2f, -1.0f).length(), 1u);
    EXPECT_EQ(ui.drawValues.length(), 0u);
}

TEST_F(VisualizerScoreTest, LinesKeepTheFaceScoresFacesRefillBothAndNoPointsQueueNothing) {
    prepare(0.2f, 0.15f);
    MDrawRequestQueue queue;
    ui.requestLines(MDrawInfo(M3dView(), M3dView::kGouraudShaded, M3dView::kDormant), queue, candidates,
                    points, 0.2f);
    ASSERT_EQ(queue.length(), 1u);
    EXPECT_EQ(queue.remove().token(), VisualizerGXUINode::kLines);
    ASSERT_EQ(ui.drawPoints.length(), 20u);
    EXPECT_EQ(ui.drawPoints[0].x, 0.0f);
    EXPECT_EQ(ui.drawPoints[1].x, 1.0f);
    EXPECT_EQ(ui.drawPoints[10].x, 2.0f); // pair 5
    EXPECT_EQ(ui.drawValues.length(), 2u) << "lines leave the face values as they were";
    prepare(1.0f, -0.01f);
    EXPECT_EQ(ui.drawValues.length(), 4u);
    EXPECT_EQ(ui.drawPoints.length(), 12u);

    // Without points neither queues anything.
    points.clear();
    EXPECT_EQ(prepare(0.2f, 0.15f).length(), 0u);
    MDrawRequestQueue none;
    ui.requestLines(MDrawInfo(), none, candidates, points, 0.2f);
    EXPECT_EQ(none.length(), 0u);
}

} // namespace
