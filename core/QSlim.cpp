#include "QSlim.h"

#include "HugePages.h"
#include "MatrixN.h"
#include "QSlimLog.h"

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <new>
#include <thread>

namespace gdx {

Quadric& QSlim::mergedQuadric() {
    // One per thread, so that engines on different threads never share it.
    static thread_local Quadric merged(0);
    return merged;
}

namespace {
// Engines set up with a partner thread and not yet destroyed, in the whole process.
std::atomic<uint32_t> gPartneredEngines{0};

// Whether the partner may share pricing now: two cores for each such engine. Two engines in two
// threads on two cores otherwise run four busy threads, and the one that waits for its partner
// waits for a core (measured: two Python calls at once took 1.6 times as long as one after the
// other, against 0.57 without partner threads).
bool partnersHaveCores() {
    static const uint32_t cores = std::max(1u, std::thread::hardware_concurrency());
    return 2 * gPartneredEngines.load(std::memory_order_relaxed) <= cores;
}

// The set bits of x, inline: the portable build has no popcount instruction, and the library call
// it would make instead showed in the compaction's profile.
uint32_t bitCount(uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return uint32_t((x * 0x0101010101010101ull) >> 56);
}
} // namespace

QSlim::~QSlim() {
    if (counted_)
        gPartneredEngines.fetch_sub(1, std::memory_order_relaxed);
}

QSlim::QSlim(Model& model, VertexWeight& weights)
    : vertexWeights_(weights), model_(model), queue_(edges_), guard_(model) {
    resizeHuge(vertexPairs_, model.numVertices());
    for (uint32_t f = 0; f < model.numFaces(); ++f)
        activeFaces_ += model.faceState(f).active ? 1 : 0;
    for (uint32_t v = 0; v < model.numVertices(); ++v)
        activeVertices_ += model.vertexState(v).active ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------------
// Configuration and pair weighting

void QSlim::setEdgeWeighting(int mode) {
    edgeWeighting_ = mode == 0 ? MIN_VERTEX : (mode == 1 ? MAX_VERTEX : AVG_VERTEX);
}

void QSlim::setBoundaryWeight(float value) {
    boundaryWeight_ = value > 0.0f ? value : 0.0;
}

void QSlim::setDiscontinuityWeight(float value) {
    discontinuityWeight_ = value > 0.0f ? value : 0.0;
}

void QSlim::setGuards(double foldAngle, bool keepTopology, bool lockBorder, bool holdBorder) {
    guard_.configure(foldAngle, keepTopology, lockBorder, holdBorder);
}

float QSlim::pairWeight(uint32_t a, uint32_t b) {
    const float wa = vertexWeights_.getWeight(a), wb = vertexWeights_.getWeight(b);
    switch (edgeWeighting_) {
    case MIN_VERTEX:
        return wb <= wa ? wb : wa;
    case MAX_VERTEX:
        return wb >= wa ? wb : wa;
    default:
        return (wa + wb) * 0.5f;
    }
}

// ---------------------------------------------------------------------------------------------------
// Setup

// The wedge quadrics' array starts as untouched zero pages. With the partner thread, the pair pool
// and the queue are reserved for the most pairs the faces can have (each face has three edges;
// pages never touched cost nothing), and the partner has the kernel back the quadrics' pages, then
// those the pairs will likely fill, while this thread makes the quadrics and lists the pairs. A
// fresh page costs about 2.5 ms a MiB on a virtual machine: a quarter of a second for a million
// faces with UVs.
void QSlim::setup() {
    quadrics_.assign(model_.numWedges(), model_.attributeDimension());
    constexpr uint32_t kPartnerFrom = 8192; // faces; on smaller meshes a thread's start costs more
    partnerThread_ = partnerThread_ && model_.numFaces() >= kPartnerFrom;
    const uint32_t likelyPairs = model_.numFaces() / 2 * 3 + model_.numFaces() / 64;
    auto populate = [&] {
        populatePages(quadrics_.data(), quadrics_.bytes());
        populateReserved(edges_, likelyPairs);
        queue_.populate(likelyPairs);
    };
    if (partnerThread_) {
        counted_ = true;
        gPartneredEngines.fetch_add(1, std::memory_order_relaxed);
        reserveHuge(edges_, 3 * std::size_t(model_.numFaces()));
        queue_.reserve(3 * model_.numFaces());
        partner().start(populate);
    }
    model_.noteSingleWedges();
    try {
        initQuadrics();
        if (boundaryWeight_ > 0.0 || discontinuityWeight_ > 0.0)
            addConstraints();
        collectPairs(); // joins the partner before it fills the pool
    } catch (...) {
        if (partner_)
            partner_->join();
        throw;
    }
    QSLIM_LOG("setup: %u faces, %u vertices, %u pairs", activeFaces_, activeVertices_, queue_.size());
}

WorkPartner& QSlim::partner() {
    if (!partner_)
        partner_ = std::make_unique<WorkPartner>();
    return *partner_;
}

void QSlim::initQuadrics() {
    VectorN s[3];
    for (uint32_t f = 0; f < model_.numFaces(); ++f) {
        const Face& face = model_.face(f);
        DoubleVector p[3];
        for (uint32_t i = 0; i < 3; ++i) {
            p[i] = toDouble(model_.positions()[face.vertex(i)]);
            model_.getAttributes(face.wedge(i), s[i]);
        }
        const Quadric q(p[0], p[1], p[2], s[0], s[1], s[2], model_.faceArea(f));
        for (uint32_t i = 0; i < 3; ++i)
            quadrics_.add(face.wedge(i), q);
    }
}

void QSlim::addConstraints() {
    IndexArray& faces = scratchFaces_;
    for (uint32_t v = 0; v < model_.numVertices(); ++v) {
        scratchA_.clear();
        model_.vertexNeighbours(v, scratchA_);
        const bool grouped = model_.vertexFaces(v).size() > kGroupedEdgeFaces;
        if (grouped)
            groupEdgeFaces(v);
        for (uint32_t w : scratchA_) {
            if (w <= v)
                continue;
            faces.clear();
            if (grouped)
                faces.assign(edgeFaceGroups_.begin() + groupStart_[w],
                             edgeFaceGroups_.begin() + groupEnd_[w]);
            else
                model_.edgeFaces(v, w, faces);
            if (faces.size() == 1) {
                addConstraintPlanes(v, w, faces, boundaryWeight_);
                continue;
            }
            scratchWedgesV_.clear();
            scratchWedgesW_.clear();
            model_.wedgesAt(v, faces, scratchWedgesV_);
            model_.wedgesAt(w, faces, scratchWedgesW_);
            if (scratchWedgesV_.size() >= 2 && scratchWedgesW_.size() >= 2 &&
                !(facetedNotSeams_ && facetedOnly(v, w, faces)))
                addConstraintPlanes(v, w, faces, discontinuityWeight_);
        }
    }
    groupStart_ = IndexArray();
    groupEnd_ = IndexArray();
    edgeFaceGroups_ = IndexArray();
}

// Whether the edge v-w is a seam only through the flat shading of a smooth surface: every face on
// it carries its own normal at both ends, the faces bend by less than a crease would, and the
// wedges differ in nothing else. Such normals follow the geometry, which the faces' own quadrics
// already hold; a real crease (a box's edge) stays a seam.
bool QSlim::facetedOnly(uint32_t v, uint32_t w, const IndexArray& faces) const {
    constexpr double kSameDirection = 1.0 - 1e-6; // cosine: about 0.08 degrees
    // Faces bending by more than 30 degrees (this cosine) meet at a crease.
    constexpr double kCrease = 0.8660254037844386;
    const uint32_t first = model_.wedgeAt(faces[0], v);
    DoubleVector firstNormal;
    for (uint32_t f : faces) {
        DoubleVector n;
        model_.faceNormal(f, n, true);
        if (f == faces[0])
            firstNormal = n;
        else if (!(dot(n, firstNormal) >= kCrease))
            return false;
        for (uint32_t x : {v, w}) {
            const uint32_t wedge = model_.wedgeAt(f, x);
            DoubleVector normal = model_.normals()[wedge];
            normalize(normal);
            if (!(dot(normal, n) >= kSameDirection))
                return false;
            if (model_.firstU()[wedge] != model_.firstU()[first] ||
                model_.firstV()[wedge] != model_.firstV()[first] ||
                !(model_.colors()[wedge] == model_.colors()[first]))
                return false;
        }
    }
    return true;
}

// For every neighbour w > v, the faces around v that use w, in the order of v's face list (as
// Model::edgeFaces gives them), in one pass over v's faces: edgeFaceGroups_[groupStart_[w],
// groupEnd_[w]). A vertex of degree d then costs O(d) instead of O(d^2).
void QSlim::groupEdgeFaces(uint32_t v) {
    const FaceList& around = model_.vertexFaces(v);
    if (groupStart_.empty()) {
        groupStart_.assign(model_.numVertices(), 0);
        groupEnd_.assign(model_.numVertices(), 0);
    }
    // Faces listed twice count once, as in edgeFaces.
    for (uint32_t f : around)
        model_.faceState(f).mark = 0;
    auto forEachUse = [&](auto&& visit) {
        for (uint32_t f : around) {
            if (model_.faceState(f).mark == 1)
                continue;
            model_.faceState(f).mark = 1;
            const Face& face = model_.face(f);
            for (uint32_t c = 0; c < 3; ++c) {
                const uint32_t x = face.vertex(c);
                bool repeated = false;
                for (uint32_t d = 0; d < c; ++d)
                    repeated = repeated || face.vertex(d) == x;
                if (x > v && !repeated)
                    visit(f, x);
            }
        }
        for (uint32_t f : around)
            model_.faceState(f).mark = 0;
    };
    for (uint32_t w : scratchA_)
        groupEnd_[w] = 0;
    forEachUse([&](uint32_t, uint32_t x) { ++groupEnd_[x]; });
    uint32_t total = 0;
    for (uint32_t w : scratchA_)
        if (w > v) {
            groupStart_[w] = total;
            total += groupEnd_[w];
            groupEnd_[w] = groupStart_[w];
        }
    edgeFaceGroups_.resize(total);
    forEachUse([&](uint32_t f, uint32_t x) { edgeFaceGroups_[groupEnd_[x]++] = f; });
}

void QSlim::addConstraintPlanes(uint32_t v, uint32_t w, const IndexArray& faces, double weight) {
    if (!(weight > 0.0))
        return;
    for (uint32_t f : faces) {
        const DoubleVector p = toDouble(model_.positions()[v]);
        const DoubleVector q = toDouble(model_.positions()[w]);
        const DoubleVector e = q - p;
        DoubleVector n;
        model_.faceNormal(f, n, true);
        DoubleVector m = cross(e, n);
        normalize(m);
        const double d = -dot(m, p);
        const double k = (e.x * e.x + e.y * e.y + e.z * e.z) * weight;
        const Quadric plane(m.x, m.y, m.z, d, k);
        const Face& face = model_.face(f);
        quadrics_.add(face.wedge(face.cornerOf(v)), plane);
        quadrics_.add(face.wedge(face.cornerOf(w)), plane);
    }
}

// The pairs are listed first so that the pool and the queue are sized exactly: no contraction or
// undo ever needs more pairs than the full mesh has, and a pool grown by doubling would hold up to
// twice the memory (and copy it) at setup.
void QSlim::collectPairs() {
    IndexArray start(model_.numVertices() + 1), other;
    for (uint32_t v = 0; v < model_.numVertices(); ++v) {
        start[v] = other.size();
        scratchA_.clear();
        model_.vertexNeighbours(v, scratchA_);
        for (uint32_t w : scratchA_)
            if (v < w)
                other.push_back(w);
    }
    start[model_.numVertices()] = other.size();
    if (partner_)
        partner_->join(); // setup's populating of the pool and the queue
    reserveHuge(edges_, other.size());
    queue_.reserve(other.size());
    for (uint32_t v = 0; v < model_.numVertices(); ++v)
        for (uint32_t i = start[v]; i < start[v + 1]; ++i)
            edges_[linkPair(v, other[i])].setWeight(pairWeight(v, other[i]));
    // Setup ends at the run's peak: the lists go before the pricing and the queue.
    IndexArray().swap(start);
    IndexArray().swap(other);
    priceAllPairs();
    for (uint32_t e = 0; e < edges_.size(); ++e)
        queue_.append(e);
    queue_.rebuild();
}

// Every pair's price depends only on the engine as set up, so the pairs are priced on every core,
// each thread with its own working state (the border hold, the one guard a price asks, included).
// A model with repeated corners prices through the full contraction record: those are priced one
// after another.
void QSlim::priceAllPairs() {
    const uint32_t n = uint32_t(edges_.size());
    if (!model_.pricesConcurrently()) {
        for (uint32_t e = 0; e < n; ++e)
            computeError(edges_[e]);
        return;
    }
    tbb::enumerable_thread_specific<Pricer> pricers([] {
        Pricer pricer;
        pricer.ownScratch = true;
        return pricer;
    });
    tbb::parallel_for(tbb::blocked_range<uint32_t>(0, n, 4096),
                      [&](const tbb::blocked_range<uint32_t>& range) {
                          Pricer& pricer = pricers.local();
                          for (uint32_t e = range.begin(); e != range.end(); ++e)
                              computeError(edges_[e], pricer);
                      });
}

// ---------------------------------------------------------------------------------------------------
// Pair evaluation

uint32_t QSlim::newEdge(uint32_t a, uint32_t b) {
    if (freeEdges_.empty()) {
        edges_.emplace_back(a, b);
        return uint32_t(edges_.size() - 1);
    }
    const uint32_t e = freeEdges_.back();
    freeEdges_.pop_back();
    edges_[e] = Edge(a, b);
    return e;
}

void QSlim::releaseEdge(uint32_t e) {
    edges_[e].heapIndex = NOT_IN_HEAP;
    freeEdges_.push_back(e);
}

void QSlim::releaseSpare() {
    queue_.releaseSpare();
    // Pairs listed for settle() may be released ones: their pool is left as it is.
    // The run's peak comes before the first compaction: that one comes early, the later ones (the
    // pool only shrinks from then on) once a quarter of the pairs are released.
    if (!stale_.empty() || freeEdges_.size() < edges_.size() / (compacted_ ? 4 : 16))
        return;
    compacted_ = true;
    // A pair in use moves down by the number of released pairs before it, counted from a bit per
    // pair and a running count per 64 pairs: a quarter of a megabyte for a million triangles, where
    // an index per pair took 6 MB at the run's peak.
    const uint32_t n = uint32_t(edges_.size());
    std::vector<uint64_t> released;
    std::vector<uint32_t> releasedBefore;
    try {
        released.assign((n + 63) / 64, 0);
        releasedBefore.resize(released.size());
    } catch (const std::bad_alloc&) {
        return; // short of memory: the pool stays as it is
    }
    for (uint32_t e : freeEdges_)
        released[e / 64] |= uint64_t(1) << (e % 64);
    uint32_t count = 0;
    for (size_t word = 0; word < released.size(); ++word) {
        releasedBefore[word] = count;
        count += bitCount(released[word]);
    }
    const auto moved = [&](uint32_t e) {
        const uint64_t below = released[e / 64] & ((uint64_t(1) << (e % 64)) - 1);
        return e - releasedBefore[e / 64] - bitCount(below);
    };
    uint32_t used = 0;
    for (uint32_t e = 0; e < n; ++e)
        if (!(released[e / 64] >> (e % 64) & 1))
            edges_[used++] = edges_[e];
    edges_.resize(used);
    gdx::releaseSpare(edges_);
    for (PairList& pairs : vertexPairs_)
        for (uint32_t& e : pairs)
            e = moved(e);
    queue_.renumber(moved);
    IndexArray().swap(freeEdges_);
    std::vector<uint8_t>().swap(staleFlags_);
}

void QSlim::erase(PairList& list, uint32_t e) {
    const uint32_t i = list.find(e);
    if (i < list.size())
        list.erase(i);
}

// A new pair listed under both its vertices, not yet weighed, priced or queued.
uint32_t QSlim::linkPair(uint32_t a, uint32_t b) {
    const uint32_t e = newEdge(a, b);
    vertexPairs_[a].push_back(e);
    vertexPairs_[b].push_back(e);
    return e;
}

void QSlim::addPair(uint32_t a, uint32_t b) {
    const uint32_t e = linkPair(a, b);
    reprice(edges_[e]);
    queue_.append(e);
}

void QSlim::buildMergedQuadric(const PairContraction& record, bool keep) {
    Quadric& merged = mergedQuadric();
    if (keep) {
        // Only the lasting merge of the wedge quadrics matters here; the merged quadric itself is
        // not looked at after a contraction, so it is not assembled.
        for (const WedgePair& pair : record.wedgePairs)
            quadrics_.add(pair.kept, pair.removed);
        return;
    }
    for (const WedgePair& pair : record.wedgePairs)
        quadrics_.appendSumTo(merged, pair.kept, pair.removed);
    for (uint32_t w : record.freeWedges)
        quadrics_.appendTo(merged, w);
}

double QSlim::evaluateAt(const FloatVector& p, VectorN& candidate) const {
    const Quadric& merged = mergedQuadric();
    merged.optimalAttributes(p, candidate);
    model_.clampAttributes(candidate);
    return merged.evaluate(p, candidate);
}

void QSlim::computeError(Edge& pair) {
    computeError(pair, pricer_);
}

void QSlim::computeError(Edge& pair, Pricer& pricer) {
    const bool evaluated = evaluatePair(pair, pricer);
    if (!guard_.enabled())
        return;
    if (guard_.holdsBorder()) {
        const BorderHold hold = guard_.holdBorder(pair.first, pair.second, pair.target,
                                                  pricer.ownScratch ? &pricer.neighbours : nullptr);
        if (hold.pin == BorderPin::AT_FIRST || hold.pin == BorderPin::AT_SECOND)
            pinTarget(pair, hold.pin == BorderPin::AT_FIRST ? pair.first : pair.second, evaluated, pricer);
        else if (hold.pin == BorderPin::SHIFTS)
            // Changing a border's shape costs ten times the error plus the border planes' price of
            // the whole shift: the planes stand across the surface, so a shift along its normal (a
            // curved border straightened) costs them nothing.
            pair.setError(
                float(10.0 * (pair.error + boundaryWeight_ * hold.edge2 * hold.shift * hold.shift)));
    }
    if (judging_)
        pair.setError(guardedError(pair.error, guard_.judge(pair.first, pair.second, pair.target)));
}

// Puts the pair's target on vertex v and prices it there (when the pair's merged quadric was built).
void QSlim::pinTarget(Edge& pair, uint32_t v, bool evaluated, Pricer& pricer) {
    const FloatVector p = toVector(model_.positions()[v]);
    if (p.x == pair.target.x && p.y == pair.target.y && p.z == pair.target.z)
        return;
    pair.target = p;
    if (evaluated)
        pair.setError(float(evaluateAt(p, pricer.candidate)));
}

// Prices the pair at its best target; false when there was nothing to price (no merged quadric).
// Reads the engine and writes only the pair and `pricer` (and this thread's merged quadric): with a
// pricer of its own each thread can price pairs of an unchanging engine.
bool QSlim::evaluatePair(Edge& pair, Pricer& pricer) {
    const uint32_t a = pair.first, b = pair.second;
    Quadric& merged = mergedQuadric();
    merged.reset(0);
    PairContraction& record = pricer.record;
    const FloatVector pa = toVector(model_.positions()[a]);
    const bool prepared = pricer.ownScratch ? model_.prepareEvaluation(a, b, record, pricer.scratch)
                                            : model_.prepareEvaluation(a, b, record);
    if (!prepared) {
        pair.target = pa;
        pair.setError(0.0f);
        return false;
    }

    buildMergedQuadric(record, false);
    VectorN& attributes = pricer.attributes;
    attributes.resize(merged.numAttributes());
    attributes.fill(0.0);

    if (placement == OPTIMAL) {
        FloatVector target;
        if (blockSolve_ ? merged.optimizeBlocks(target, attributes) : merged.optimize(target, attributes)) {
            model_.clampAttributes(attributes);
            pair.target = target;
            pair.setError(float(merged.evaluate(target, attributes)));
            return true;
        }
    }

    const FloatVector pb = toVector(model_.positions()[b]);
    const double errorA = evaluateAt(pa, pricer.candidate), errorB = evaluateAt(pb, pricer.candidate);
    FloatVector best = pb;
    double bestError = errorB;
    if (errorA < errorB) {
        best = pa;
        bestError = errorA;
    }
    if (placement == END_OR_MID || placement == OPTIMAL) {
        const FloatVector mid{(pa.x + pb.x) / 2.0f, (pa.y + pb.y) / 2.0f, (pa.z + pb.z) / 2.0f};
        const double errorMid = evaluateAt(mid, pricer.candidate);
        if (errorMid < bestError) {
            best = mid;
            bestError = errorMid;
        }
    }
    pair.target = best;
    pair.setError(float(bestError));
    return true;
}

void QSlim::updateQueue(uint32_t pair) {
    if (edges_[pair].heapIndex == NOT_IN_HEAP) {
        queue_.append(pair);
        queue_.siftUpLast();
    } else {
        queue_.update(pair);
    }
}

void QSlim::reprice(Edge& pair) {
    reprice(pair, pricer_);
}

void QSlim::reprice(Edge& pair, Pricer& pricer) {
    pair.setWeight(pairWeight(pair.first, pair.second));
    computeError(pair, pricer);
}

void QSlim::refreshPair(uint32_t pair) {
    reprice(edges_[pair]);
    updateQueue(pair);
}

// ---------------------------------------------------------------------------------------------------
// Contraction and undo

bool QSlim::nextContraction(PairContraction& record) {
    settle();
    if (queue_.size() == 0)
        return false;
    if (guard_.enabled()) {
        revalidateTop();
        if (edges_[queue_.top()].error == FLT_MAX)
            return false; // every remaining contraction is refused
    }
    const Edge& e = edges_[queue_.top()];
    if (!model_.vertexState(e.first).active || !model_.vertexState(e.second).active)
        return false;
    model_.prepareContraction(e.first, e.second, record, &e.target);
    return true;
}

void QSlim::applyContraction(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    QSLIM_LOG("contract %u <- %u (%u faces removed)", a, b, record.removedFaces.size());
    activeVertices_ -= 1;
    activeFaces_ -= record.removedFaces.size();
    guard_.contracting(record);
    mergedQuadric().reset(0);
    buildMergedQuadric(record, true);
    relinkOnContract(record);
    model_.contract(record);
    vertexWeights_.contractVertices(a, b);
    updateWedgeAttributes(a);
    // refreshPair never changes the list it walks.
    refreshPairsOf(a);
    refreshOppositeVertices(record);
}

// A guard's verdict on a pair depends on the faces around both its vertices, which contractions
// nearby change without touching the pair, so pairs are judged only here: the top pair is priced
// and judged again before it is offered. One held back or refused sinks in the queue until a
// contraction next to it prices it again (unjudged) and it rises back to the top. Judging every
// pair whenever it was priced cost a third more time on a million triangles.
void QSlim::revalidateTop() {
    judging_ = true;
    for (;;) {
        const uint32_t top = queue_.top();
        const float before = edges_[top].error;
        refreshPair(top);
        if (queue_.top() == top && edges_[top].error == before)
            break;
    }
    judging_ = false;
}

void QSlim::prefetchFacesOf(uint32_t v) const {
    for (uint32_t f : model_.vertexFaces(v))
        __builtin_prefetch(&model_.face(f));
}

// Weighs and prices v's pairs [begin, end) with `pricer`, leaving the queue as it is. The pairs'
// other vertices and their faces are mostly not in cache: each is prefetched a step or two ahead
// while the current pair is evaluated.
void QSlim::pricePairsOf(uint32_t v, uint32_t begin, uint32_t end, Pricer& pricer) {
    const PairList& pairs = vertexPairs_[v];
    auto other = [&](uint32_t i) { return edges_[pairs[i]].opposite(v); };
    if (begin < end)
        __builtin_prefetch(&model_.vertexFaces(other(begin)));
    for (uint32_t i = begin; i < end; ++i) {
        if (i + 3 < end)
            __builtin_prefetch(&model_.vertexFaces(other(i + 3)));
        if (i + 2 < end)
            prefetchFacesOf(other(i + 2));
        if (i + 1 < end) {
            // Its faces were asked for a step ago: now their wedges' quadrics (one, mostly).
            const uint32_t w = other(i + 1);
            const FaceList& faces = model_.vertexFaces(w);
            for (uint32_t k = 0; k < faces.size(); ++k) {
                quadrics_.prefetch(model_.wedgeAt(faces[k], w));
                if (model_.singleWedge(w))
                    break;
            }
        }
        reprice(edges_[pairs[i]], pricer);
    }
}

// Refreshes every pair of v in list order. A pair's price reads the engine and writes only the pair,
// the pricer and the border hold's relaxed border states (the guards judge only the top pair, in
// revalidateTop), so the second half of a long list is priced on the partner thread while this one
// prices the first; the queue then takes them in list order, exactly as one thread would have.
void QSlim::refreshPairsOf(uint32_t v) {
    const PairList& pairs = vertexPairs_[v];
    const uint32_t n = pairs.size();
    if (deferring_) {
        for (uint32_t i = 0; i < n; ++i)
            touch(pairs[i]);
        return;
    }
    constexpr uint32_t kSharedFrom = 4; // fewer pairs are not worth the hand-over
    if (partnerThread_ && n >= kSharedFrom && !judging_ && model_.pricesConcurrently() &&
        partnersHaveCores()) {
        if (!partnerPricer_) {
            partnerPricer_ = std::make_unique<Pricer>();
            partnerPricer_->ownScratch = true;
        }
        // Reading a weight may first bring the weights' cache up to date (after painting): done
        // here, so that the partner only reads.
        vertexWeights_.getWeight(v);
        // This thread also queues its half while the partner prices, and still takes the larger
        // half: the partner first has to fetch the vertex just changed from this core.
        const uint32_t half = (n + 1) / 2;
        partner().share([&] { pricePairsOf(v, half, n, *partnerPricer_); },
                        [&] {
                            pricePairsOf(v, 0, half, pricer_);
                            for (uint32_t i = 0; i < half; ++i)
                                updateQueue(pairs[i]);
                        });
        for (uint32_t i = half; i < n; ++i)
            updateQueue(pairs[i]);
        return;
    }
    pricePairsOf(v, 0, n, pricer_);
    for (uint32_t i = 0; i < n; ++i)
        updateQueue(pairs[i]);
}

void QSlim::relinkOnContract(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    PairList& pairsA = vertexPairs_[a];
    scratchA_.clear();
    for (uint32_t e : pairsA)
        scratchA_.push_back(edges_[e].opposite(a));
    for (uint32_t e : vertexPairs_[b]) {
        Edge& pair = edges_[e];
        const uint32_t w = pair.opposite(b);
        if (w != a && !contains(scratchA_, w)) {
            // Its place in the queue is settled when refreshPairsOf(a) prices it next: until then
            // the queue orders it by its old key, which keeps the queue consistent.
            pair.setVertices(a, w);
            pairsA.push_back(e);
        } else {
            // The contracted pair itself, or b-w where a-w exists: it leaves the queue and both lists.
            erase(vertexPairs_[w], e);
            takeOut(e);
            releaseEdge(e);
        }
    }
    vertexPairs_[b].clear();
}

void QSlim::refreshOppositeVertices(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    for (uint32_t f : record.removedFaces) {
        const Face& face = model_.face(f);
        const uint32_t c = face.thirdCorner(a, b);
        const uint32_t x = face.vertex(c), wx = face.wedge(c);
        // Another face keeps using x's wedge: stop counting at the first beyond the removed ones.
        const uint32_t gone = model_.countFacesWithWedge(record.removedFaces, wx);
        uint32_t around = 0;
        for (uint32_t g : model_.vertexFaces(x))
            if (model_.faceState(g).active && model_.face(g).hasWedge(wx) && ++around > gone)
                break;
        if (around > gone)
            continue;
        for (uint32_t pair : vertexPairs_[x]) {
            const uint32_t y = edges_[pair].opposite(x);
            if (y != a && y != b)
                touch(pair);
        }
    }
}

void QSlim::updateWedgeAttributes(uint32_t v) {
    if (model_.attributeDimension() == 0)
        return;
    scratchWedgesV_.clear();
    model_.wedgesAt(v, model_.vertexFaces(v), scratchWedgesV_);
    const FloatVector p = toVector(model_.positions()[v]);
    for (uint32_t w : scratchWedgesV_) {
        quadrics_.optimalAttributes(w, p, attributes_);
        model_.clampAttributes(attributes_);
        model_.setAttributes(w, attributes_);
    }
}

// A replayed contraction is one the queue chose before: its neighbours are priced when the queue is
// next needed, not now.
void QSlim::replayContraction(const PairContraction& record) {
    deferring_ = true;
    applyContraction(record);
    deferring_ = false;
}

void QSlim::undoContraction(const PairContraction& record) {
    deferring_ = replay_;
    undo(record);
    deferring_ = false;
}

void QSlim::undo(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    QSLIM_LOG("undo %u <- %u", a, b);
    vertexWeights_.uncontractVertex(a);
    model_.uncontract(record);
    guard_.uncontracted(record);
    activeVertices_ += 1;
    activeFaces_ += record.removedFaces.size();
    for (uint32_t i = record.wedgePairs.size(); i-- > 0;) {
        const WedgePair& pair = record.wedgePairs[i];
        quadrics_.subtract(pair.kept, pair.removed);
    }
    relinkOnUncontract(record);
    updateWedgeAttributes(a);
    updateWedgeAttributes(b);
}

void QSlim::relinkOnUncontract(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    vertexPairs_[b].clear();
    scratchA_.clear();
    scratchB_.clear();
    model_.vertexNeighbours(a, scratchA_);
    model_.vertexNeighbours(b, scratchB_);
    PairList& pairsA = vertexPairs_[a];
    for (uint32_t i = 0; i < pairsA.size();) {
        if (i + 1 < pairsA.size() && !deferring_)
            prefetchFacesOf(edges_[pairsA[i + 1]].opposite(a));
        const uint32_t e = pairsA[i];
        const uint32_t w = edges_[e].opposite(a);
        const bool inA = contains(scratchA_, w), inB = contains(scratchB_, w);
        if (inA && inB) {
            addUndonePair(b, w);
            ++i;
        } else if (inB) {
            takeOut(e);
            edges_[e].setVertices(b, w);
            vertexPairs_[b].push_back(e);
            pairsA.erase(i);
        } else {
            ++i;
        }
        touch(e);
    }
    addUndonePair(a, b);
    refreshOppositeVertices(record);
}

// Prices the pair now, or (deferred) puts it back in the queue, unordered, and lists it for
// settle(); a pair priced at settle() sees the state all changes before it left.
void QSlim::touch(uint32_t pair) {
    if (!deferring_) {
        refreshPair(pair);
        return;
    }
    if (edges_[pair].heapIndex == NOT_IN_HEAP) {
        queue_.append(pair);
        unordered_ = true;
    }
    if (pair >= staleFlags_.size())
        staleFlags_.resize(edges_.size(), 0);
    if (!staleFlags_[pair]) {
        staleFlags_[pair] = 1;
        stale_.push_back(pair);
    }
}

// A pair an undo brings back: priced and queued now, or listed for settle().
void QSlim::addUndonePair(uint32_t a, uint32_t b) {
    if (!deferring_) {
        addPair(a, b);
        queue_.siftUpLast();
        return;
    }
    touch(linkPair(a, b));
}

// The queue orders its pairs by cost and then by vertex indices, a total order, so pricing the
// listed pairs in any order and re-sorting gives the queue the same top as pricing each at once.
// Many listed pairs are cheaper to key afresh all together than to move one by one.
void QSlim::settle() {
    if (stale_.empty() && !unordered_)
        return;
    const bool rebuild = unordered_ || stale_.size() > queue_.size() / 8;
    for (uint32_t e : stale_) {
        staleFlags_[e] = 0;
        if (edges_[e].heapIndex == NOT_IN_HEAP)
            continue; // released after it was listed
        if (rebuild)
            reprice(edges_[e]);
        else
            refreshPair(e);
    }
    stale_.clear();
    if (rebuild)
        queue_.rebuild();
    unordered_ = false;
}

// Takes a pair out of the queue; a deferring engine leaves the queue's order to settle().
void QSlim::takeOut(uint32_t pair) {
    if (!deferring_) {
        queue_.remove(pair);
        return;
    }
    queue_.detach(pair);
    unordered_ = true;
}

void QSlim::updatePairWeights() {
    settle();
    for (const Heap::Item& item : queue_.items()) {
        Edge& e = edges_[item.edge];
        e.setWeight(pairWeight(e.first, e.second));
    }
    queue_.rebuild();
}

} // namespace gdx
