#include "QSlim.h"
#include "HierarchicWeight.h"
#include "MatrixN.h"
#include "ResolutionChanger.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

using namespace gdx;

namespace {
struct Engine {
    std::unique_ptr<Model> model;
    std::unique_ptr<HierarchicWeight> weights;
    std::unique_ptr<QSlim> qslim;

    Engine(const test::MeshSource& source, int placement, bool uvs = false, float boundary = 1000.0f,
           float seams = 1000.0f) {
        model = test::buildModel(source);
        model->setAttributeUse(uvs, false, false);
        weights = std::make_unique<HierarchicWeight>(model->numVertices());
        qslim = std::make_unique<QSlim>(*model, *weights);
        qslim->placement = placement;
        qslim->setBoundaryWeight(boundary);
        qslim->setDiscontinuityWeight(seams);
        qslim->setup();
    }
    QSlim* operator->() { return qslim.get(); }
};

uint32_t vertexAt(uint32_t nx, uint32_t x, uint32_t y) {
    return y * (nx + 1) + x;
}

const Edge* findPair(const QSlim& q, uint32_t a, uint32_t b) {
    for (uint32_t e : q.vertexPairs(a))
        if (q.edge(e).opposite(a) == b)
            return &q.edge(e);
    return nullptr;
}
} // namespace

TEST(QSlimPlacement, TargetAndErrorOfAPairPerPlacement) {
    // A strip of quads along x: its boundary planes (y = 0 and y = 1) and the face plane leave the
    // x direction free, so the merged quadric of a rung is singular. The rung's midpoint lies 0.5
    // from the four boundary planes (weight 1000 each): 4 x 1000 x 0.25 = 1000, against 2 x 1000 x 1
    // = 2000 at either end; ENDPOINT never takes the midpoint and equal endpoint errors go to the
    // second vertex. On a flat interior without attributes the midpoint is not cheaper either. The
    // diagonal of a single square (planes x = 0, y = 0 at one end, x = 1, y = 1 at the other) is
    // full rank: its minimiser is the square's centre.
    const auto strip = test::flatGrid(6, 1, test::continuousUV),
               grid = test::flatGrid(6, 6, test::continuousUV),
               square = test::flatGrid(1, 1, test::continuousUV);
    const struct {
        const test::MeshSource& source;
        uint32_t a, b;
        std::vector<int> placements;
        FloatVector target;
        float error;
    } cases[] = {
        {strip, vertexAt(6, 3, 0), vertexAt(6, 3, 1), {OPTIMAL, END_OR_MID}, {3, 0.5f, 0}, 1000},
        {strip, vertexAt(6, 3, 0), vertexAt(6, 3, 1), {ENDPOINT}, {3, 1, 0}, 2000},
        {grid, vertexAt(6, 3, 3), vertexAt(6, 4, 3), {OPTIMAL, END_OR_MID, ENDPOINT}, {4, 3, 0}, 0},
        {square, 0, 3, {OPTIMAL}, {0.5f, 0.5f, 0}, 1000},
    };
    for (const auto& c : cases)
        for (int placement : c.placements) {
            SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", placement " << placement);
            Engine e(c.source, placement);
            const Edge* pair = findPair(*e.qslim, c.a, c.b);
            ASSERT_TRUE(pair);
            EXPECT_NEAR(pair->target.x, c.target.x, 1e-6);
            EXPECT_NEAR(pair->target.y, c.target.y, 1e-6);
            EXPECT_NEAR(pair->target.z, c.target.z, 1e-6);
            EXPECT_NEAR(pair->error, c.error, 1e-6 * (1 + c.error));
        }
}

TEST(QSlimPlacement, PairWithoutActiveFacesCostsNothingAndStaysAtFirst) {
    auto source = test::flatGrid(1, 1, test::continuousUV);
    source.points.push_back(FloatPoint{7, 8, 9, 1});
    source.points.push_back(FloatPoint{1, 2, 3, 1});
    Engine e(source, OPTIMAL);
    Edge lonely(5, 4);
    lonely.setError(5.0f);
    e->computeError(lonely);
    EXPECT_EQ(lonely.error, 0.0f);
    EXPECT_EQ(lonely.target.x, 7.0f);
    EXPECT_EQ(lonely.target.z, 9.0f);
}

TEST(QSlimSetup, OnePairPerEdgeAndFaceCountsAndNoneForALonePoint) {
    Engine e(test::torus(12, 8), OPTIMAL, true);
    EXPECT_EQ(e->activeFaces(), 192u);
    EXPECT_EQ(e->activeVertices(), 96u);
    EXPECT_EQ(e->queue().size(), 288u); // a closed torus: E = 3F/2
    EXPECT_EQ(e->quadrics().size(), e.model->numWedges());
    EXPECT_EQ(e->quadrics()[0].numAttributes(), 2u);

    // A single point has no pair: nothing is offered and the record is left alone.
    test::MeshSource point;
    point.points = {FloatPoint{0, 0, 0, 1}};
    Engine lone(point, OPTIMAL);
    EXPECT_EQ(lone->queue().size(), 0u);
    PairContraction r;
    r.keptVertex = 42;
    EXPECT_FALSE(lone->nextContraction(r));
    EXPECT_EQ(r.keptVertex, 42u);
}

TEST(QSlimConstraints, SingleTriangleGetsBoundaryPlanesScaledByLengthSquared) {
    auto triangle = [](float size) {
        test::MeshSource m;
        m.points = {FloatPoint{0, 0, 0, 1}, FloatPoint{size, 0, 0, 1}, FloatPoint{0, size, 0, 1}};
        m.triangles.push_back({{0, 1, 2}, {}});
        return m;
    };
    const VectorN none;
    // Float inputs (0.1f) leave errors of a few 1e-6. In the face plane only the planes through the edges x =
    // 0 and y = 0 count at vertex 0.
    Engine unit(triangle(1), OPTIMAL);
    EXPECT_NEAR(unit->quadrics()[0].evaluate({0.1f, 0.2f, 0}, none), 1000.0 * (0.01 + 0.04), 1e-4);
    Engine doubled(triangle(2), OPTIMAL);
    EXPECT_NEAR(doubled->quadrics()[0].evaluate({0.1f, 0.2f, 0}, none), 4 * 1000.0 * (0.01 + 0.04), 1e-4);
    // Each vertex got exactly its two edges' planes: vertex 1 lies on y = 0 and on the hypotenuse.
    EXPECT_NEAR(unit->quadrics()[1].evaluate({1, 0.1f, 0}, none), 1000.0 * 0.01 + 1000.0 * 2 * 0.005, 1e-4);
    Engine none0(triangle(1), OPTIMAL, false, 0.0f, 0.0f);
    EXPECT_EQ(none0->quadrics()[0].evaluate({0.1f, 0.2f, 0}, none), 0.0);
    // Only the boundary weight matters on a single triangle.
    Engine seamsOnly(triangle(1), OPTIMAL, false, 0.0f, 1000.0f);
    EXPECT_EQ(seamsOnly->quadrics()[0].evaluate({0.1f, 0.2f, 0}, none), 0.0);
}

TEST(QSlimConstraints, SeamEdgesNeedSeveralWedgesAtBothEnds) {
    // 2 x 2 quads. A UV seam runs up the middle line x = 1 from y = 0 to y = 1 only: the lower
    // right quad has its own island; the upper quads share UVs with the lower left one.
    //
    //   y=2  +---+---+
    //        | A | A |
    //   y=1  +---+---+     edge (1,0)-(1,1): two wedges at both ends -> planes
    //        | A | B |     edge (1,1)-(1,2): one wedge at (1,1) in its faces -> none
    //   y=0  +---+---+
    const auto grid = test::flatGrid(2, 2, [](uint32_t qx, uint32_t qy, uint32_t x, uint32_t y) {
        const float shift = (qx == 1 && qy == 0) ? 0.5f : 0.0f;
        return FloatArray{shift + 0.1f * float(x), 0.1f * float(y)};
    });
    Engine with(grid, OPTIMAL, true, 1000.0f, 1000.0f);
    Engine without(grid, OPTIMAL, true, 1000.0f, 0.0f);
    const uint32_t centre = vertexAt(2, 1, 1), top = vertexAt(2, 1, 2);
    const Model& m = *with.model;
    VectorN attributes(2);
    attributes.fill(0.0);
    auto seamPart = [&](uint32_t wedge, FloatVector p) {
        return with->quadrics()[wedge].evaluate(p, attributes) -
               without->quadrics()[wedge].evaluate(p, attributes);
    };
    // The centre's wedges: the lower-right face's one differs from the others.
    const uint32_t lowerLeft = m.wedgeAt(0, centre) == centre ? centre : m.wedgeAt(0, centre);
    uint32_t lowerRight = INVALID_INDEX;
    for (uint32_t f : m.vertexFaces(centre))
        if (m.wedgeAt(f, centre) != lowerLeft)
            lowerRight = m.wedgeAt(f, centre);
    ASSERT_NE(lowerRight, INVALID_INDEX);
    // Moving the centre sideways off the seam line: each of its two wedges carries one plane
    // (x = 1) from the seam edge's face on its side, weight 1 x 1000.
    EXPECT_NEAR(seamPart(lowerRight, {1.1f, 1, 0}), 1000.0 * 0.01, 1e-4);
    EXPECT_NEAR(seamPart(lowerLeft, {1.1f, 1, 0}), 1000.0 * 0.01, 1e-4);
    // The top vertex has one wedge and its edge to the centre is no seam: no planes at all.
    EXPECT_NEAR(seamPart(top, {1.1f, 2, 0}), 0.0, 1e-9);
}

// A curved sheet shaded flat (each face its own geometric normal, so every edge is a normal seam)
// taken to 10 %: with the seams' planes around every edge the shape goes; with flat shading taken
// for no seam, every vertex left stays near the surface.
TEST(QSlimConstraints, FlatShadingIsNoSeamWhenSet) {
    const uint32_t n = 24;
    const auto height = [](double x, double y) { return 0.3 * std::sin(x) * std::cos(0.7 * y); };
    test::MeshSource sheet;
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x)
            sheet.points.push_back(
                FloatPoint{float(x) * 0.25f, float(y) * 0.25f, float(height(x * 0.25, y * 0.25)), 1.0f});
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = y * (n + 1) + x;
            for (const std::array<uint32_t, 3>& v : {std::array<uint32_t, 3>{a, a + 1, a + n + 2},
                                                     std::array<uint32_t, 3>{a, a + n + 2, a + n + 1}}) {
                const DoubleVector p0 = toDouble(sheet.points[v[0]]), p1 = toDouble(sheet.points[v[1]]),
                                   p2 = toDouble(sheet.points[v[2]]);
                DoubleVector normal = cross(p1 - p0, p2 - p0);
                normalize(normal);
                test::Triangle t{v, {}};
                for (test::Corner& c : t.c)
                    c.normal = normal;
                sheet.triangles.push_back(t);
            }
        }
    const auto farthest = [&](bool flatNotSeam) {
        auto model = test::buildModel(sheet);
        model->setAttributeUse(false, true, false);
        HierarchicWeight weights(model->numVertices());
        QSlim engine(*model, weights);
        engine.setBlockSolve(true);
        engine.setFacetedNotSeams(flatNotSeam);
        engine.setup();
        ContractionSequence sequence;
        changeResolution(engine, sequence, 0.1);
        double most = 0.0;
        for (uint32_t v = 0; v < model->numVertices(); ++v)
            if (model->vertexState(v).active) {
                const FloatPoint& p = model->positions()[v];
                most = std::max(most, std::fabs(p.z - height(p.x, p.y)));
            }
        return most;
    };
    const double held = farthest(false), free = farthest(true);
    EXPECT_LT(free, 0.05); // the bumps are 0.3 high
    EXPECT_GT(held, 10 * free);
}

TEST(QSlimWeights, NegativeOrNaNWeightsStoreZeroAndEdgeWeightingsCombineVertexWeights) {
    Model m(2, 0);
    HierarchicWeight w(2);
    w.setWeight(0, 1.0f);
    w.setWeight(1, 3.0f);
    QSlim q(m, w);
    EXPECT_EQ(q.boundaryWeight(), 1000.0);
    q.setBoundaryWeight(-5.0f);
    q.setDiscontinuityWeight(NAN);
    EXPECT_EQ(q.boundaryWeight(), 0.0);
    EXPECT_EQ(q.discontinuityWeight(), 0.0);
    q.setBoundaryWeight(2.5f);
    EXPECT_EQ(q.boundaryWeight(), 2.5);

    EXPECT_EQ(q.edgeWeighting(), AVG_VERTEX);
    // An unknown weighting falls back to the average.
    for (auto [weighting, combined] :
         {std::pair{int(AVG_VERTEX), 2.0f}, {int(MIN_VERTEX), 1.0f}, {int(MAX_VERTEX), 3.0f}, {9, 2.0f}}) {
        q.setEdgeWeighting(weighting);
        EXPECT_EQ(q.pairWeight(0, 1), combined) << weighting;
        EXPECT_EQ(q.pairWeight(1, 0), combined) << weighting;
    }
}

TEST(QSlimWeights, UpdatePairWeightsReordersByCostOnly) {
    Engine e(test::seamedGridWithBowtie(8), OPTIMAL, true);
    std::map<std::pair<uint32_t, uint32_t>, float> errors;
    for (const Heap::Item& item : e->queue().items()) {
        const Edge* p = &e->edge(item.edge);
        errors[{p->first, p->second}] = p->error;
    }
    // Heavy weights on the lower half.
    for (uint32_t v = 0; v < e.model->numVertices(); ++v)
        e.weights->setWeight(v, e.model->positions()[v].y < 4 ? 101.0f : 1.0f);
    e->updatePairWeights();
    for (uint32_t i = 0; i < e->queue().size(); ++i) {
        const Edge& p = e->queued(i);
        EXPECT_EQ(p.error, (errors[{p.first, p.second}])); // errors are not recomputed
        EXPECT_EQ(p.weight, e->pairWeight(p.first, p.second));
        if (i > 0) {
            EXPECT_FALSE(edgeLess(p, e->queued((i - 1) / 4)));
        }
    }
    // Back to 1.0 everywhere: the cost is the error alone.
    for (uint32_t v = 0; v < e.model->numVertices(); ++v)
        e.weights->setWeight(v, 1.0f);
    e->updatePairWeights();
    for (const Heap::Item& item : e->queue().items()) {
        const Edge* p = &e->edge(item.edge);
        EXPECT_EQ(p->cost(), p->error);
    }
}

TEST(QSlimContraction, CommonNeighbourPairIsDroppedAndRecreatedOnUndo) {
    // Contract the rung (3,0)-(3,1) of a strip: its vertices share the neighbours of the two
    // faces of the rung.
    const auto strip = test::flatGrid(6, 1, test::continuousUV);
    Engine e(strip, OPTIMAL);
    const uint32_t a = vertexAt(6, 3, 0), b = vertexAt(6, 3, 1);
    const uint32_t pairsBefore = e->queue().size();
    const auto before = test::queuedPairs(*e.qslim);

    PairContraction r;
    const FloatVector target = findPair(*e.qslim, a, b)->target;
    e.model->prepareContraction(a, b, r, &target);
    const uint32_t faces = e->activeFaces();
    e->applyContraction(r);
    EXPECT_EQ(e->activeFaces(), faces - 2);
    // Common neighbours of a and b: the pairs b-w went, a-w stayed; a-b itself went.
    uint32_t common = 0;
    for (uint32_t w = 0; w < e.model->numVertices(); ++w)
        if (findPair(*e.qslim, a, w) && before.count({std::min(b, w), std::max(b, w)}) &&
            before.count({std::min(a, w), std::max(a, w)}))
            ++common;
    EXPECT_EQ(common, 2u);
    EXPECT_EQ(e->queue().size(), pairsBefore - 1 - common);
    EXPECT_TRUE(e->vertexPairs(b).empty());
    for (const auto& [first, second] : test::queuedPairs(*e.qslim))
        EXPECT_TRUE(first != b && second != b);

    e->undoContraction(r);
    EXPECT_EQ(test::queuedPairs(*e.qslim), before);
    EXPECT_EQ(e->activeFaces(), faces);
}
