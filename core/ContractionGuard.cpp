#include "ContractionGuard.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace gdx {

namespace {
constexpr uint32_t PENALTY_BASE = 0x6F000000u; // the bits of 2^95
constexpr size_t HUB_FACES = 64;

bool has(const IndexArray& list, uint32_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}

double length2(const DoubleVector& v) {
    return dot(v, v);
}
} // namespace

float guardedError(float error, Verdict verdict) {
    if (verdict == Verdict::ALLOW)
        return error;
    if (verdict == Verdict::REFUSE)
        return FLT_MAX;
    // A non-negative float's bits grow with its value: shifting them keeps the order (losing three
    // bits of precision) and fits the whole range between 2^95 and FLT_MAX.
    const float e = error > 0.0f ? error : 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &e, sizeof bits);
    bits = PENALTY_BASE + (bits >> 3);
    float out;
    std::memcpy(&out, &bits, sizeof out);
    return out;
}

void ContractionGuard::configure(double foldAngle, bool keepTopology, bool lockBorder, bool holdBorder) {
    foldGuard_ = foldAngle > 0.0;
    cosFoldAngle_ = std::cos(std::min(foldAngle, 180.0) * M_PI / 180.0);
    keepTopology_ = keepTopology;
    lockBorder_ = lockBorder;
    holdBorder_ = holdBorder;
    if (enabled() && !border_)
        border_.reset(new std::atomic<uint8_t>[model_.numVertices()]()); // all BORDER_UNKNOWN
}

namespace {
double segmentDistance2(const DoubleVector& p, const DoubleVector& s0, const DoubleVector& s1) {
    const DoubleVector s = s1 - s0, d = p - s0;
    const double l2 = dot(s, s);
    const double t = l2 > 0.0 ? std::clamp(dot(d, s) / l2, 0.0, 1.0) : 0.0;
    const DoubleVector q{s0.x + t * s.x - p.x, s0.y + t * s.y - p.y, s0.z + t * s.z - p.z};
    return dot(q, q);
}

// Whether p lies on the segment end-other (to float rounding).
bool onSegment(const DoubleVector& p, const DoubleVector& end, const DoubleVector& other) {
    const DoubleVector run = other - end, toP = p - end;
    const double run2 = length2(run), along = dot(toP, run);
    return along > 0.0 && along < run2 && length2(cross(toP, run)) <= 1e-12 * run2 * run2;
}
} // namespace

BorderHold ContractionGuard::holdBorder(uint32_t a, uint32_t b, const FloatVector& target,
                                        IndexArray* scratch) {
    const bool aOn = onBorder(a, scratch), bOn = onBorder(b, scratch);
    if (!aOn || !bOn)
        return {aOn ? BorderPin::AT_FIRST : bOn ? BorderPin::AT_SECOND : BorderPin::FREE};
    if (edgeFaceCount(a, b) != 1)
        return {BorderPin::SHIFTS}; // two border points joined across the surface
    // Along the border edge: the border runs ca-a-b-cb.
    const uint32_t ca = otherBorderNeighbour(a, b, scratch), cb = otherBorderNeighbour(b, a, scratch);
    const auto& pos = model_.positions();
    const DoubleVector pa = toDouble(pos[a]), pb = toDouble(pos[b]);
    const DoubleVector pca = ca == INVALID_INDEX ? pa : toDouble(pos[ca]);
    const DoubleVector pcb = cb == INVALID_INDEX ? pb : toDouble(pos[cb]);
    if (cb != INVALID_INDEX && onSegment(pb, pa, pcb))
        return {BorderPin::AT_FIRST}; // b lies on a straight run: a keeps the border's shape
    if (ca != INVALID_INDEX && onSegment(pa, pb, pca))
        return {BorderPin::AT_SECOND};
    BorderHold hold{BorderPin::SHIFTS};
    if (ca == INVALID_INDEX || cb == INVALID_INDEX)
        return hold;
    // The new border runs ca-t-cb: the farthest of a, b and t from the other border.
    const DoubleVector t{target.x, target.y, target.z};
    const double shift2 = std::max({std::min(segmentDistance2(pa, pca, t), segmentDistance2(pa, t, pcb)),
                                    std::min(segmentDistance2(pb, pca, t), segmentDistance2(pb, t, pcb)),
                                    std::min({segmentDistance2(t, pca, pa), segmentDistance2(t, pa, pb),
                                              segmentDistance2(t, pb, pcb)})});
    hold.shift = std::sqrt(shift2);
    hold.edge2 = length2(pb - pa);
    return hold;
}

// v's border neighbour other than `end` when v has exactly two; INVALID_INDEX otherwise.
uint32_t ContractionGuard::otherBorderNeighbour(uint32_t v, uint32_t end, IndexArray* scratch) {
    uint32_t other = INVALID_INDEX, count = 0;
    for (uint32_t n : scratch ? neighboursInto(v, *scratch) : neighbours(v))
        if (edgeFaceCount(v, n) == 1) {
            ++count;
            if (n != end)
                other = n;
        }
    return count == 2 ? other : INVALID_INDEX;
}

Verdict ContractionGuard::judge(uint32_t a, uint32_t b, const FloatVector& target) {
    if (model_.vertexFaces(a).empty() && model_.vertexFaces(b).empty())
        return Verdict::ALLOW;
    if (lockBorder_ && (onBorder(a) || onBorder(b)))
        return Verdict::REFUSE;
    // (breaksTopology fills link_ with the third vertices of the faces on a-b.)
    if (keepTopology_ && (breaksTopology(a, b) || (link_.size() >= 2 && onBorder(a) && onBorder(b))))
        return Verdict::REFUSE;
    if (foldGuard_ && folds(a, b, target))
        return Verdict::PENALISE;
    return Verdict::ALLOW;
}

// A vertex whose faces form an open fan has one neighbour more than it has faces.
bool ContractionGuard::onBorder(uint32_t v, IndexArray* scratch) {
    uint8_t state = borderState(v);
    if (state == BORDER_UNKNOWN) {
        const size_t count = scratch ? neighboursInto(v, *scratch).size() : neighbours(v).size();
        state = count > model_.vertexFaces(v).size() ? ON_BORDER : INSIDE;
        setBorderState(v, state);
    }
    return state == ON_BORDER;
}

// Before a contraction: a vertex x next to b that keeps all its faces only sees b become a, so it
// has as many neighbours as before or one fewer: one inside stays inside. The removed faces' corners
// lose a face and are asked again, as are a, b and x on a border. After an undo, every vertex of b's
// faces is asked again.
void ContractionGuard::forgetBorderAround(const PairContraction& record, bool undone) {
    if (!border_)
        return;
    setBorderState(record.keptVertex, BORDER_UNKNOWN);
    setBorderState(record.removedVertex, BORDER_UNKNOWN);
    for (uint32_t f : model_.vertexFaces(record.removedVertex))
        for (uint32_t x : model_.face(f).vertices)
            if (undone || borderState(x) != INSIDE)
                setBorderState(x, BORDER_UNKNOWN);
    for (uint32_t f : record.removedFaces)
        for (uint32_t x : model_.face(f).vertices)
            setBorderState(x, BORDER_UNKNOWN);
}

const IndexArray& ContractionGuard::neighboursInto(uint32_t v, IndexArray& scratch) const {
    scratch.clear();
    for (uint32_t f : model_.vertexFaces(v))
        for (uint32_t x : model_.face(f).vertices)
            if (x != v)
                scratch.push_back(x);
    std::sort(scratch.begin(), scratch.end());
    scratch.erase(std::unique(scratch.begin(), scratch.end()), scratch.end());
    return scratch;
}

void ContractionGuard::uncontracted(const PairContraction& record) {
    cache_[0].vertex = cache_[1].vertex = cache_[2].vertex = INVALID_INDEX;
    forgetBorderAround(record, true);
}

const IndexArray& ContractionGuard::neighbours(uint32_t v) {
    for (uint32_t slot = 0; slot < 3; ++slot)
        if (cache_[slot].vertex == v) {
            // Keep the one just used: a refresh asks about one vertex's pairs in a row.
            if (slot < 2)
                victim_ = 1 - slot;
            return cache_[slot].neighbours;
        }
    // A vertex of many faces (a fan's hub) keeps a slot of its own, so that the pairs of its small
    // neighbours, judged between its own, do not push it out.
    const bool hub = model_.vertexFaces(v).size() > HUB_FACES;
    Cached& c = cache_[hub ? 2 : victim_];
    if (!hub)
        victim_ = 1 - victim_;
    c.vertex = v;
    c.neighbours.clear();
    model_.vertexNeighbours(v, c.neighbours);
    if (hub) {
        c.at.resize(model_.numVertices());
        for (uint32_t i = 0; i < c.neighbours.size(); ++i)
            c.at[c.neighbours[i]] = i;
    }
    return c.neighbours;
}

// Only a and b change among the neighbours of another vertex h: b goes, and a is a neighbour
// afterwards exactly when one of the faces that survive the contraction (the changed ones) has h.
void ContractionGuard::contracting(const PairContraction& record) {
    forgetBorderAround(record, false);
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    for (Cached& c : cache_) {
        if (c.vertex == INVALID_INDEX)
            continue;
        if (c.vertex == a || c.vertex == b) {
            c.vertex = INVALID_INDEX;
            continue;
        }
        bool nextToA = false;
        for (uint32_t f : record.changedFaces)
            nextToA = nextToA || model_.face(f).hasVertex(c.vertex);
        IndexArray& n = c.neighbours;
        if (&c != &cache_[2]) {
            n.erase(std::remove_if(n.begin(), n.end(), [&](uint32_t x) { return x == a || x == b; }),
                    n.end());
            if (nextToA)
                n.push_back(a);
            continue;
        }
        // A hub's thousands of neighbours: a and b are found through their places and swapped out
        // (the neighbours' order means nothing).
        for (uint32_t x : {a, b}) {
            const uint32_t i = c.at[x];
            if (i < n.size() && n[i] == x) {
                n[i] = n.back();
                c.at[n[i]] = i;
                n.pop_back();
            }
        }
        if (nextToA) {
            c.at[a] = static_cast<uint32_t>(n.size());
            n.push_back(a);
        }
    }
}

// Whether some face has all of `vertices` (two or three), looking through the faces of the vertex
// with the fewest.
bool ContractionGuard::faceWith(std::initializer_list<uint32_t> vertices) const {
    uint32_t fewest = *vertices.begin();
    for (uint32_t v : vertices)
        if (model_.vertexFaces(v).size() < model_.vertexFaces(fewest).size())
            fewest = v;
    for (uint32_t f : model_.vertexFaces(fewest)) {
        bool all = true;
        for (uint32_t v : vertices)
            all = all && model_.face(f).hasVertex(v);
        if (all)
            return true;
    }
    return false;
}

// The faces that have both a and b, counted through the faces of the one with fewer.
uint32_t ContractionGuard::edgeFaceCount(uint32_t a, uint32_t b) const {
    const bool fromA = model_.vertexFaces(a).size() <= model_.vertexFaces(b).size();
    uint32_t n = 0;
    for (uint32_t f : model_.vertexFaces(fromA ? a : b))
        n += model_.face(f).hasVertex(fromA ? b : a) ? 1 : 0;
    return n;
}

// The link condition: the vertices and edges a and b both see must be exactly those around the
// edge a-b itself.
bool ContractionGuard::breaksTopology(uint32_t a, uint32_t b) {
    // Everything is looked at from the vertex with fewer faces, so that a contraction next to a
    // vertex of thousands of faces (a fan's hub) costs what the small side costs.
    const bool aSmaller = model_.vertexFaces(a).size() <= model_.vertexFaces(b).size();
    const uint32_t small = aSmaller ? a : b, large = aSmaller ? b : a;
    link_.clear();
    for (uint32_t f : model_.vertexFaces(small)) {
        const Face& face = model_.face(f);
        if (face.hasVertex(large))
            link_.push_back(face.vertex(face.thirdCorner(a, b)));
    }
    // A second path from a to b (a neighbour of both outside the link): contracting would pinch or
    // fuse the surface. The large side's own neighbours answer "next to b" from faces already in
    // cache; next to a vertex of many faces, each small neighbour's faces are looked through.
    const IndexArray& aroundSmall = neighbours(small);
    around_.assign(aroundSmall.begin(), aroundSmall.end());
    const IndexArray* aroundLarge =
        model_.vertexFaces(large).size() > HUB_FACES ? nullptr : &neighbours(large);
    for (uint32_t x : around_)
        if (x != large && !has(link_, x) && (aroundLarge ? has(*aroundLarge, x) : faceWith({x, large})))
            return true;
    for (uint32_t i = 0; i < link_.size(); ++i)
        for (uint32_t j = i + 1; j < link_.size(); ++j)
            if (faceWith({a, link_[i], link_[j]}) && faceWith({b, link_[i], link_[j]}))
                return true; // the faces a-x-y and b-x-y would lie on each other (a tetrahedron's end)
    // A border edge whose triangle has its other two edges on the border as well: contracting it
    // would leave the triangle's third vertex hanging on nothing.
    return link_.size() == 1 && edgeFaceCount(a, link_[0]) == 1 && edgeFaceCount(b, link_[0]) == 1;
}

// Every face of a or b that keeps both its other corners: its normal before and after a and b
// move to the target.
bool ContractionGuard::folds(uint32_t a, uint32_t b, const FloatVector& target) const {
    const DoubleVector t{target.x, target.y, target.z};
    for (uint32_t v : {a, b})
        for (uint32_t f : model_.vertexFaces(v)) {
            const Face& face = model_.face(f);
            if (face.hasVertex(v == a ? b : a))
                continue; // removed by the contraction
            DoubleVector before[3], after[3];
            for (uint32_t i = 0; i < 3; ++i) {
                before[i] = toDouble(model_.positions()[face.vertex(i)]);
                after[i] = face.vertex(i) == v ? t : before[i];
            }
            const DoubleVector n0 = cross(before[1] - before[0], before[2] - before[0]);
            const DoubleVector e0 = after[1] - after[0], e1 = after[2] - after[1], e2 = after[0] - after[2];
            const DoubleVector n1 = cross(e0, after[2] - after[0]);
            const double longest = std::max({length2(e0), length2(e1), length2(e2)});
            const double area0 = length2(n0), area1 = length2(n1);
            if (area0 == 0.0)
                continue; // already degenerate: nothing to keep
            // Degenerate: the triangle's height is under a millionth of its longest edge.
            if (area1 <= 1e-12 * longest * longest)
                return true;
            if (dot(n0, n1) < cosFoldAngle_ * std::sqrt(area0 * area1))
                return true;
        }
    return false;
}

} // namespace gdx
