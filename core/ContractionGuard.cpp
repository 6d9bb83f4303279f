#include "ContractionGuard.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace gdx {

namespace {
constexpr uint32_t PENALTY_BASE = 0x6F000000u; // the bits of 2^95

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

void ContractionGuard::configure(double foldAngle, bool keepTopology, bool lockBorder) {
    foldGuard_ = foldAngle > 0.0;
    cosFoldAngle_ = std::cos(std::min(foldAngle, 180.0) * M_PI / 180.0);
    keepTopology_ = keepTopology;
    lockBorder_ = lockBorder;
}

Verdict ContractionGuard::judge(uint32_t a, uint32_t b, const FloatVector& target) {
    if (model_.vertexFaces(a).empty() && model_.vertexFaces(b).empty())
        return Verdict::ALLOW;
    if (keepTopology_ || lockBorder_) {
        neighboursA_.clear();
        neighboursB_.clear();
        const bool borderA = onBorder(a, neighboursA_);
        const bool borderB = onBorder(b, neighboursB_);
        if (lockBorder_ && (borderA || borderB))
            return Verdict::REFUSE;
        // (breaksTopology fills link_ with the third vertices of the faces on a-b.)
        if (keepTopology_ && (breaksTopology(a, b) || (borderA && borderB && link_.size() >= 2)))
            return Verdict::REFUSE;
    }
    if (foldGuard_ && folds(a, b, target))
        return Verdict::PENALISE;
    return Verdict::ALLOW;
}

// A vertex whose faces form an open fan has one neighbour more than it has faces.
bool ContractionGuard::onBorder(uint32_t v, IndexArray& out) {
    for (Cached& c : cache_)
        if (c.vertex == v) {
            out = c.neighbours;
            return c.border;
        }
    Cached& c = cache_[nextSlot_];
    nextSlot_ = 1 - nextSlot_;
    c.vertex = v;
    c.neighbours.clear();
    model_.vertexNeighbours(v, c.neighbours);
    c.border = c.neighbours.size() > model_.vertexFaces(v).size();
    out = c.neighbours;
    return c.border;
}

// The link condition: the vertices and edges a and b both see must be exactly those around the
// edge a-b itself. (neighboursA_ and neighboursB_ are filled by judge.)
bool ContractionGuard::breaksTopology(uint32_t a, uint32_t b) {
    link_.clear();
    for (uint32_t f : model_.vertexFaces(a)) {
        const Face& face = model_.face(f);
        if (face.hasVertex(b))
            link_.push_back(face.vertex(face.thirdCorner(a, b)));
    }
    if (stamp_.size() != model_.numVertices())
        stamp_.assign(model_.numVertices(), 0);
    if (++clock_ == 0) {
        stamp_.assign(stamp_.size(), 0);
        clock_ = 1;
    }
    for (uint32_t x : neighboursB_)
        stamp_[x] = clock_;
    for (uint32_t x : neighboursA_)
        if (stamp_[x] == clock_ && !has(link_, x))
            return true; // a second path from a to b: contracting would pinch or fuse the surface
    auto faceWith = [&](uint32_t v, uint32_t x, uint32_t y) {
        for (uint32_t f : model_.vertexFaces(v))
            if (model_.face(f).hasVertex(x) && model_.face(f).hasVertex(y))
                return true;
        return false;
    };
    for (uint32_t i = 0; i < link_.size(); ++i)
        for (uint32_t j = i + 1; j < link_.size(); ++j)
            if (faceWith(a, link_[i], link_[j]) && faceWith(b, link_[i], link_[j]))
                return true; // the faces a-x-y and b-x-y would lie on each other (a tetrahedron's end)
    if (link_.size() == 1) {
        // A border edge whose triangle has its other two edges on the border as well: contracting
        // it would leave the triangle's third vertex hanging on nothing.
        const uint32_t c = link_[0];
        faces_.clear();
        model_.edgeFaces(a, c, faces_);
        const bool acBorder = faces_.size() == 1;
        faces_.clear();
        model_.edgeFaces(b, c, faces_);
        if (acBorder && faces_.size() == 1)
            return true;
    }
    return false;
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
