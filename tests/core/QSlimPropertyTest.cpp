// Whole-engine properties on generated meshes of 10,000+ faces: invariants after every step,
// exact round trips, replayable sequences and determinism.
#include "HierarchicWeight.h"
#include "ResolutionChanger.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

using namespace gdx;

namespace {
struct EngineRun {
    std::unique_ptr<Model> model;
    std::unique_ptr<HierarchicWeight> weights;
    std::unique_ptr<QSlim> engine;
    ContractionSequence sequence;

    EngineRun(const test::MeshSource& source, int placement, bool replay = false, bool partner = true,
              bool guarded = false) {
        model = test::buildModel(source);
        model->setAttributeUse(true, true, true);
        model->setAttributeClamping(true, true, true);
        weights = std::make_unique<HierarchicWeight>(model->numVertices());
        engine = std::make_unique<QSlim>(*model, *weights);
        engine->placement = placement;
        engine->setReplayScrub(replay);
        engine->setPartnerThread(partner);
        if (guarded)
            engine->setGuards(60.0, true, false, true);
        engine->setup();
    }
};

// The pairs of one vertex are queued where they say, name the vertex, and are listed under their
// other vertex too.
void checkVertex(const QSlim& q, uint32_t v) {
    const auto& items = q.queue().items();
    for (uint32_t index : q.vertexPairs(v)) {
        const Edge& e = q.edge(index);
        ASSERT_NE(e.heapIndex, NOT_IN_HEAP) << "vertex " << v;
        ASSERT_EQ(items[e.heapIndex].edge, index);
        ASSERT_EQ(items[e.heapIndex].cost, e.cost());
        ASSERT_TRUE(e.first == v || e.second == v);
        ASSERT_LT(e.first, e.second);
        const auto& other = q.vertexPairs(e.opposite(v));
        ASSERT_EQ(std::count(other.begin(), other.end(), index), 1);
    }
}

void checkAround(const QSlim& q, const PairContraction& r) {
    for (uint32_t v : {r.keptVertex, r.removedVertex}) {
        checkVertex(q, v);
        for (uint32_t e : q.vertexPairs(v))
            checkVertex(q, q.edge(e).opposite(v));
    }
}

void checkEverything(const QSlim& q) {
    const Model& m = q.model();
    std::set<std::pair<uint32_t, uint32_t>> pairs;
    size_t listed = 0;
    for (uint32_t i = 0; i < q.queue().size(); ++i) {
        const Edge& e = q.queued(i);
        ASSERT_EQ(e.heapIndex, i);
        ASSERT_TRUE(pairs.insert({e.first, e.second}).second) << "duplicate pair";
        ASSERT_TRUE(m.vertexState(e.first).active && m.vertexState(e.second).active);
    }
    uint32_t faces = 0, vertices = 0;
    for (uint32_t v = 0; v < m.numVertices(); ++v) {
        checkVertex(q, v);
        listed += q.vertexPairs(v).size();
        vertices += m.vertexState(v).active;
    }
    ASSERT_EQ(listed, 2 * size_t(q.queue().size()));
    for (uint32_t f = 0; f < m.numFaces(); ++f)
        faces += m.faceState(f).active;
    ASSERT_EQ(q.activeFaces(), faces);
    ASSERT_EQ(q.activeVertices(), vertices);
}

const test::MeshSource& seamedGrid() {
    static const test::MeshSource grid = test::seamedGridWithBowtie(71); // 10,082 + 32 faces
    return grid;
}
void checkPrice(QSlim& q, const Edge& queued) {
    Edge fresh = queued;
    fresh.setWeight(q.pairWeight(fresh.first, fresh.second));
    q.computeError(fresh);
    ASSERT_EQ(fresh.cost(), queued.cost()) << "pair " << fresh.first << "-" << fresh.second;
}

// Every queued pair carries the price it has now: no change the engine made left one stale.
void checkPrices(QSlim& q) {
    for (uint32_t i = 0; i < q.queue().size(); ++i)
        checkPrice(q, q.queued(i));
}

// The same for the pairs a contraction's neighbourhood changed: those of the kept vertex and of
// the removed faces' third corners, whose wedges may have lost their last face.
void checkPricesAround(QSlim& q, const PairContraction& r) {
    std::vector<uint32_t> around{r.keptVertex};
    for (uint32_t f : r.removedFaces)
        around.push_back(
            q.model().face(f).vertex(q.model().face(f).thirdCorner(r.keptVertex, r.removedVertex)));
    for (uint32_t v : around)
        for (uint32_t e : q.vertexPairs(v))
            checkPrice(q, q.edge(e));
}
// Pricing's shortcut wedge lists (for vertices whose faces use one wedge each) equal the full
// record's for every pair around a change.
void checkWedgeListsAround(QSlim& q, const PairContraction& r) {
    Model& m = q.model();
    PairContraction priced, full;
    for (uint32_t v : {r.keptVertex, r.removedVertex})
        for (uint32_t e : q.vertexPairs(v)) {
            const Edge& pair = q.edge(e);
            m.prepareEvaluation(pair.first, pair.second, priced);
            m.prepareContraction(pair.first, pair.second, full);
            const auto same = [](const auto& x, const auto& y) {
                return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin());
            };
            ASSERT_TRUE(same(priced.wedgePairs, full.wedgePairs) &&
                        same(priced.freeWedges, full.freeWedges) &&
                        priced.firstRemovedSideWedge == full.firstRemovedSideWedge)
                << "pair " << pair.first << "-" << pair.second;
        }
}
} // namespace

class QSlimProperties : public ::testing::TestWithParam<int> {};

TEST_P(QSlimProperties, InvariantsHoldAfterEveryStepAndZeroAndBackRestoresEverything) {
    EngineRun run(seamedGrid(), GetParam());
    EngineRun fresh(seamedGrid(), GetParam());
    ASSERT_GE(run.model->numFaces(), 10000u);
    checkEverything(*run.engine);
    // Setup prices on every core; with the guards on, a price holds the open borders too.
    checkPrices(*EngineRun(seamedGrid(), GetParam(), false, true, true).engine);

    PairContraction r;
    uint32_t steps = 0;
    while (run.engine->nextContraction(r)) {
        run.engine->applyContraction(r);
        run.sequence.push_back(r);
        checkAround(*run.engine, r);
        checkPricesAround(*run.engine, r);
        checkWedgeListsAround(*run.engine, r);
        if (++steps % 1000 == 0) {
            checkEverything(*run.engine);
            checkPrices(*run.engine);
        }
    }
    checkEverything(*run.engine);
    EXPECT_LT(run.engine->activeFaces(), 100u);

    while (!run.sequence.empty()) {
        PairContraction last;
        run.sequence.back(last);
        run.engine->undoContraction(last);
        checkAround(*run.engine, last);
        checkWedgeListsAround(*run.engine, last);
        run.sequence.pop_back();
        if (run.sequence.size() % 1000 == 0)
            checkEverything(*run.engine);
    }
    checkEverything(*run.engine);
    test::expectSameModel(*run.model, *fresh.model, 1e-3f);

    // Wedge attributes and quadrics are back within rounding.
    const Model& m = *run.model;
    for (uint32_t w = 0; w < m.numWedges(); ++w) {
        ASSERT_NEAR(m.firstU()[w], fresh.model->firstU()[w], 1e-3f) << "wedge " << w;
        ASSERT_NEAR(m.normals()[w].z, fresh.model->normals()[w].z, 1e-3);
        ASSERT_NEAR(m.colors()[w].r, fresh.model->colors()[w].r, 1e-3f);
        const Quadric& q = run.engine->quadrics()[w];
        const Quadric& o = fresh.engine->quadrics()[w];
        ASSERT_EQ(q.numAttributes(), o.numAttributes());
        for (int i = 0; i < 6; ++i)
            ASSERT_NEAR(q.a()[i], o.a()[i], 1e-6 * (1 + std::fabs(o.a()[i])));
        ASSERT_NEAR(q.c(), o.c(), 1e-6 * (1 + std::fabs(o.c())));
        for (uint32_t j = 0; j < q.numAttributes(); ++j) {
            ASSERT_NEAR(q.offset(j), o.offset(j), 1e-6 * (1 + std::fabs(o.offset(j))));
            ASSERT_EQ(q.count(j), o.count(j));
        }
    }
    // The same candidate pairs are queued again.
    EXPECT_EQ(test::queuedPairs(*run.engine), test::queuedPairs(*fresh.engine));
}

TEST_P(QSlimProperties, RandomTargetsKeepTheSequenceEqualToTheAppliedContractions) {
    EngineRun run(test::torus(100, 50), GetParam());
    std::mt19937 rng(GetParam() + 17);
    std::uniform_real_distribution<double> fraction(-0.1, 1.1);
    for (int i = 0; i < 12; ++i) {
        const double r = fraction(rng);
        ASSERT_TRUE(changeResolution(*run.engine, run.sequence, r));
        const uint32_t target = targetFaceCount(*run.model, r);
        // Ends within one contraction (two faces) of the target, unless nothing is left to undo.
        if (!run.sequence.empty() && run.engine->activeFaces() > 2) {
            EXPECT_LE(std::abs(int(run.engine->activeFaces()) - int(target)), 1) << "fraction " << r;
        }
        checkEverything(*run.engine);
    }
    // Replaying the sequence on a fresh model gives the engine's model.
    auto replay = test::buildModel(test::torus(100, 50));
    for (size_t i = 0; i < run.sequence.size(); ++i)
        replay->contract(run.sequence[i]);
    test::expectSameModel(*run.model, *replay, 1e-4f);
}

// The second run has no partner thread: what the partner makes or prices must not change a bit,
// painted weights and the guards (the border hold among them) included.
TEST_P(QSlimProperties, TwoRunsGiveIdenticalResults) {
    for (const bool guarded : {false, true}) {
        SCOPED_TRACE(guarded ? "guarded" : "unguarded");
        EngineRun first(seamedGrid(), GetParam(), false, true, guarded);
        EngineRun second(seamedGrid(), GetParam(), false, false, guarded);
        for (EngineRun* run : {&first, &second}) {
            for (uint32_t v = 0; v < run->model->numVertices(); v += 7)
                run->weights->setWeight(v, 3.0f);
            run->engine->updatePairWeights();
        }
        changeResolution(*first.engine, first.sequence, 0.3);
        changeResolution(*second.engine, second.sequence, 0.3);
        test::expectSameModel(*first.model, *second.model, 0.0f);
        ASSERT_EQ(first.sequence.size(), second.sequence.size());
        for (size_t i = 0; i < first.sequence.size(); ++i)
            ASSERT_EQ(first.sequence[i], second.sequence[i]) << "record " << i;
        ASSERT_EQ(first.engine->queue().size(), second.engine->queue().size());
        for (uint32_t i = 0; i < first.engine->queue().size(); ++i) {
            const Edge &a = first.engine->queued(i), &b = second.engine->queued(i);
            ASSERT_EQ(a.cost(), b.cost()) << "queue place " << i;
            ASSERT_TRUE(a.target.x == b.target.x && a.target.y == b.target.y && a.target.z == b.target.z)
                << "queue place " << i;
        }
    }
}

// A replaying engine contracts exactly as the eager one, comes back to the same contractions
// after every scrub, and goes on from the queue past them.
TEST_P(QSlimProperties, ReplayingScrubsBackToTheSameContractions) {
    EngineRun eager(seamedGrid(), GetParam());
    EngineRun replaying(seamedGrid(), GetParam(), true);
    changeResolution(*eager.engine, eager.sequence, 0.2);
    changeResolution(*replaying.engine, replaying.sequence, 0.2);
    test::expectSameModel(*eager.model, *replaying.model, 0.0f);
    const size_t applied = eager.sequence.size();
    for (double fraction : {0.6, 0.2, 0.9, 0.35, 0.25, 1.0, 0.2}) {
        ASSERT_TRUE(changeResolution(*replaying.engine, replaying.sequence, fraction));
        EXPECT_LE(
            std::abs(int(replaying.engine->activeFaces()) - int(targetFaceCount(*replaying.model, fraction))),
            1)
            << "fraction " << fraction;
        // The records applied first, and perhaps the one the first run stopped on.
        EXPECT_LE(replaying.sequence.size() + replaying.sequence.undone() - applied, 1u);
        replaying.engine->settle();
        SCOPED_TRACE(fraction);
        checkEverything(*replaying.engine);
        checkPrices(*replaying.engine);
    }
    ASSERT_EQ(replaying.sequence.size(), applied);
    for (size_t i = 0; i < applied; ++i)
        ASSERT_EQ(replaying.sequence[i], eager.sequence[i]) << "record " << i;
    test::expectSameModel(*eager.model, *replaying.model, 1e-4f);

    ASSERT_TRUE(changeResolution(*replaying.engine, replaying.sequence, 0.05));
    EXPECT_GT(replaying.sequence.size(), applied);
    EXPECT_LE(replaying.sequence.undone(), 1u);
    checkEverything(*replaying.engine);
    // Once the costs change, undone contractions are not kept.
    replaying.engine->updatePairWeights();
    replaying.sequence.forgetUndone();
    ASSERT_TRUE(changeResolution(*replaying.engine, replaying.sequence, 0.5));
    EXPECT_EQ(replaying.sequence.undone(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Placements, QSlimProperties,
                         ::testing::Values(int(ENDPOINT), int(END_OR_MID), int(OPTIMAL)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == ENDPOINT     ? "Endpoint"
                                                : info.param == END_OR_MID ? "EndOrMid"
                                                                           : "Optimal");
                         });
