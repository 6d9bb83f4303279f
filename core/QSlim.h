// QSlim: the contraction engine. One quadric per wedge, one candidate pair (Edge) per mesh edge in
// a heap ordered by cost (weight x error, ties by vertex indices), and per vertex the pairs touching
// it. Edges live in one pool owned by the engine; the queue and the pair lists name them by index,
// and an edge goes back to the pool when it leaves both. It offers the cheapest contraction, performs it, and
// undoes recorded contractions, updating quadrics, queue and pair lists locally each time. The engine borrows
// the model and the weights.
//
//   QSlim engine(model, weights);
//   engine.placement = OPTIMAL; engine.setEdgeWeighting(...); engine.setBoundaryWeight(...); ...
//   engine.setup();
//   PairContraction r;
//   while (engine.nextContraction(r)) engine.applyContraction(r);   // (ResolutionChanger decides)
//   engine.undoContraction(r);                                      // latest first
#pragma once

#include "ContractionGuard.h"
#include "Heap.h"
#include "Model.h"
#include "Quadric.h"
#include "VertexWeight.h"
#include "WedgeQuadrics.h"
#include "WorkPartner.h"

#include <memory>
#include <vector>

namespace gdx {

enum Placement { ENDPOINT = 0, END_OR_MID = 1, OPTIMAL = 2 };
enum EdgeWeighting { MIN_VERTEX = 0, MAX_VERTEX = 1, AVG_VERTEX = 2 };

using PairList = SmallVector<uint32_t, 8>; // edge indices

class QSlim {
public:
    QSlim(Model& model, VertexWeight& weights);
    ~QSlim();
    QSlim(const QSlim&) = delete;
    QSlim& operator=(const QSlim&) = delete;

    // Configuration, before setup().
    int32_t placement = OPTIMAL;
    void setEdgeWeighting(int mode);
    void setBoundaryWeight(float value);
    void setDiscontinuityWeight(float value);
    // Optimal placement solved by eliminating the attribute blocks (Quadric::optimizeBlocks): cost
    // linear in the wedges of a pair, results equal up to rounding. Off: the full system's inverse.
    void setBlockSolve(bool on) { blockSolve_ = on; }
    EdgeWeighting edgeWeighting() const { return edgeWeighting_; }
    double boundaryWeight() const { return boundaryWeight_; }
    double discontinuityWeight() const { return discontinuityWeight_; }
    // Replayed scrubbing, off unless set: lowering the resolution re-applies the contractions undone
    // before (ContractionSequence::retreat) instead of asking the queue again, and the pairs around an
    // undo or a replayed contraction are priced when the queue is next consulted (settle()), each
    // once however often it was touched. Off, every change prices its pairs at once and every lowering takes
    // the queue's cheapest pair, as it always has.
    void setReplayScrub(bool on) { replay_ = on; }
    bool replaysScrub() const { return replay_; }
    // Prices the pairs a deferred change left unpriced and restores the queue's order.
    void settle();
    // A second thread (a WorkPartner) for meshes of 8,192 faces or more, on unless set off before
    // setup(): it has the kernel back the pages of the wedge quadrics, the pair pool and the queue
    // while setup fills them, and prices half of the pairs around each contraction when no guard
    // is on, the model prices concurrently (as setup's pricing) and the process has two cores for
    // each engine of that size alive (engines in other threads would otherwise wait on spinning
    // partners). Each pair is priced the same on either thread and queued in the same order:
    // results do not change.
    void setPartnerThread(bool on) { partnerThread_ = on; }
    // Flat shading is no seam, off unless set: an edge whose faces each carry their own geometric
    // normal at both its ends, bend by less than 30 degrees, and whose wedges differ in nothing
    // else, gets no seam planes. Every edge of a flat-shaded mesh is such a seam, and planes of the
    // seam weight around every edge outweigh the faces' own planes a thousandfold: the shape went
    // (a flat-shaded sheet to 10 %: Hausdorff 20 % of its diagonal, against 0.03 % with this).
    // Creases (a box's edges) stay seams.
    void setFacetedNotSeams(bool on) { facetedNotSeams_ = on; }
    // Fold, topology and border guards (ContractionGuard); all off unless set.
    void setGuards(double foldAngle, bool keepTopology, bool lockBorder, bool holdBorder = false);

    // Builds wedge quadrics, constraint planes and candidate pairs. Once per engine.
    void setup();

    // Fills `record` for the cheapest pair (which stays queued); false when there is none or one
    // of its vertices is gone.
    bool nextContraction(PairContraction& record);
    void applyContraction(const PairContraction& record);
    // Re-applies a contraction undone before (replayed scrubbing only).
    void replayContraction(const PairContraction& record);
    // Undoes the most recent contraction not yet undone.
    void undoContraction(const PairContraction& record);
    // Re-weighs every queued pair after the vertex weights changed.
    void updatePairWeights();

    // Pair operations.
    void addPair(uint32_t a, uint32_t b);
    void computeError(Edge& pair);
    void updateQueue(uint32_t pair);
    void refreshPair(uint32_t pair);
    void reprice(Edge& pair); // weight and error, leaving the queue as it is
    float pairWeight(uint32_t a, uint32_t b);
    void addConstraints();
    void addConstraintPlanes(uint32_t v, uint32_t w, const IndexArray& faces, double weight);

    // Read access.
    uint32_t activeFaces() const { return activeFaces_; }
    uint32_t activeVertices() const { return activeVertices_; }
    Model& model() { return model_; }
    const Model& model() const { return model_; }
    const Heap& queue() const { return queue_; }
    // Gives back what a long decimation leaves unused: the queue's storage past its last pair and,
    // once most pairs are released, the pool's released ones. The pairs still in use move down in
    // order, so every list and the queue keep their order; only pool indices change (a million
    // triangles at 10 %: 43 MB).
    void releaseSpare();
    const Edge& edge(uint32_t index) const { return edges_[index]; }
    // The edge at position i of the queue's storage order.
    const Edge& queued(uint32_t i) const { return edges_[queue_.items()[i].edge]; }
    const WedgeQuadrics& quadrics() const { return quadrics_; }
    const PairList& vertexPairs(uint32_t v) const { return vertexPairs_[v]; }

    // The scratch quadric every engine on the calling thread builds merged quadrics in.
    static Quadric& mergedQuadric();

private:
    // One pricing's working state: the engine's own, or one per thread while pricing in parallel.
    struct Pricer {
        PairContraction record;
        VectorN attributes, candidate;
        bool ownScratch = false;       // the model's wedge scratch and the guard's caches (false), or
        Model::PricingScratch scratch; // these, for a thread pricing beside others
        IndexArray neighbours;
    };
    bool evaluatePair(Edge& pair, Pricer& pricer);
    void priceAllPairs();
    bool judging_ = false; // the guards judge the pairs priced now (the top pair, see revalidateTop)
    void pinTarget(Edge& pair, uint32_t v, bool evaluated, Pricer& pricer);
    // computeError and reprice with the given working state (a partner's, or the engine's own).
    void computeError(Edge& pair, Pricer& pricer);
    void reprice(Edge& pair, Pricer& pricer);
    void revalidateTop();
    void initQuadrics();
    void groupEdgeFaces(uint32_t v);
    void collectPairs();
    void buildMergedQuadric(const PairContraction& record, bool keep);
    double evaluateAt(const FloatVector& p, VectorN& candidate) const;
    uint32_t newEdge(uint32_t a, uint32_t b);
    uint32_t linkPair(uint32_t a, uint32_t b);
    void releaseEdge(uint32_t e);
    static void erase(PairList& list, uint32_t e);
    void relinkOnContract(const PairContraction& record);
    void relinkOnUncontract(const PairContraction& record);
    void refreshOppositeVertices(const PairContraction& record);
    void updateWedgeAttributes(uint32_t v);
    void refreshPairsOf(uint32_t v);
    void pricePairsOf(uint32_t v, uint32_t begin, uint32_t end, Pricer& pricer);
    void undo(const PairContraction& record);
    void touch(uint32_t pair);
    void takeOut(uint32_t pair);
    void addUndonePair(uint32_t a, uint32_t b);
    void prefetchFacesOf(uint32_t v) const;

    VertexWeight& vertexWeights_;
    EdgeWeighting edgeWeighting_ = AVG_VERTEX;
    Model& model_;
    WedgeQuadrics quadrics_;
    std::vector<Edge> edges_;
    IndexArray freeEdges_;
    Heap queue_;
    std::vector<PairList> vertexPairs_;
    IndexArray scratchA_, scratchB_;
    ContractionGuard guard_;
    uint32_t activeVertices_ = 0;
    uint32_t activeFaces_ = 0;
    double boundaryWeight_ = 1000.0;
    double discontinuityWeight_ = 1000.0;
    bool blockSolve_ = false;
    bool partnerThread_ = true;
    bool counted_ = false;                 // among the process's engines that may share pricing
    std::unique_ptr<WorkPartner> partner_; // started when first needed
    WorkPartner& partner();
    std::unique_ptr<Pricer> partnerPricer_;
    bool compacted_ = false;       // the pair pool was compacted once (see releaseSpare)
    bool facetedNotSeams_ = false; // flat shading is no seam (setFacetedNotSeams)
    bool facetedOnly(uint32_t v, uint32_t w, const IndexArray& faces) const;
    bool replay_ = false;             // replayed scrubbing on
    bool deferring_ = false;          // within an undo or a replay of a replaying engine
    bool unordered_ = false;          // the queue's order waits for settle()
    IndexArray stale_;                // pairs to price at the next settle(), each listed once
    std::vector<uint8_t> staleFlags_; // per edge: listed in stale_

    // Scratch storage reused by every pair evaluation, so evaluating allocates nothing once warm.
    Pricer pricer_;
    VectorN attributes_;
    IndexArray scratchFaces_;
    WedgeSet scratchWedgesV_, scratchWedgesW_;
    // Setup's edge faces of one vertex of high degree, grouped by neighbour (see groupEdgeFaces).
    static constexpr uint32_t kGroupedEdgeFaces = 32;
    IndexArray groupStart_, groupEnd_, edgeFaceGroups_;
};

} // namespace gdx

#include "QSlim.inl"
