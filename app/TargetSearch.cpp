#include "TargetSearch.h"

#include <algorithm>

namespace gradix {

bool TargetSearch::countAt(float resolution, uint64_t& count, std::string& error) {
    if (onStep_)
        onStep_(resolution);
    ++evaluations_;
    count = 0;
    for (LodGraph& graph : graphs_) {
        MeshCounts counts;
        if (!graph.setResolution(resolution, error) || !graph.evaluate(counts, error))
            return false;
        count += measure_ == Measure::TRIANGLES ? counts.triangles : counts.vertices;
    }
    return true;
}

uint64_t TargetSearch::predicted(float resolution) const {
    // The node asks its engine for trunc(faces x resolution x 0.01) faces, in float arithmetic.
    uint64_t total = 0;
    for (size_t i = 0; i < sourceFaces_.size(); ++i) {
        const uint64_t faces = sourceFaces_[i];
        const float node = graphs_[i].nodePercent(resolution);
        const float fraction = node >= 100.0f ? 1.0f : node * 0.01f;
        float wanted = static_cast<float>(static_cast<double>(faces) * fraction);
        wanted = std::min(wanted, static_cast<float>(faces));
        total += wanted >= 0.0f ? static_cast<uint64_t>(wanted) : 0;
    }
    return total;
}

float TargetSearch::resolutionFor(uint64_t faces) const {
    float lo = 0.0f, hi = 100.0f;
    if (predicted(lo) >= faces)
        return lo;
    // Invariant: predicted(lo) < faces <= predicted(hi); ends on neighbouring floats.
    for (;;) {
        const float mid = lo + 0.5f * (hi - lo);
        if (mid <= lo || mid >= hi)
            return hi;
        (predicted(mid) >= faces ? hi : lo) = mid;
    }
}

bool TargetSearch::walk(uint64_t target, Bounds& b, std::string& error) {
    // From a fresh engine the first move goes straight down to the predicted resolution, which
    // usually reaches the target or its neighbour; each further step is one predicted face.
    float r = resolutionFor(target);
    for (int step = 0; step < 6; ++step) {
        uint64_t c = 0;
        if (!countAt(r, c, error))
            return false;
        if (c >= target)
            b.hi = r, b.countHi = c;
        else
            b.lo = r, b.countLo = c, b.haveLo = true;
        if (c == target) {
            b.hit = true;
            return true;
        }
        if (b.haveLo && resolutionFor(predicted(b.lo) + 1) >= b.hi) {
            b.bracketed = true;
            return true;
        }
        const uint64_t faces = predicted(r);
        const float next = c > target ? (faces > 0 ? resolutionFor(faces - 1) : r) : resolutionFor(faces + 1);
        if (next == r || next <= b.lo || next >= b.hi)
            return true;
        r = next;
    }
    return true;
}

bool TargetSearch::find(uint64_t target, Result& result, std::string& error) {
    evaluations_ = 0;
    uint64_t full = 0, least = 0;
    if (!countAt(100.0f, full, error))
        return false;
    finestFaces_ = 0;
    sourceFaces_.clear();
    for (LodGraph& graph : graphs_) {
        MeshCounts counts;
        graph.evaluate(counts, error);
        finestFaces_ = std::max(finestFaces_, counts.triangles);
        sourceFaces_.push_back(counts.triangles);
    }
    result = Result();
    if (target >= full) {
        result.reached = full;
        result.evaluations = evaluations_;
        return true;
    }

    // Invariant: count(lo) < target <= count(hi).
    Bounds b;
    b.countHi = full;
    if (measure_ == Measure::TRIANGLES && !walk(target, b, error))
        return false;
    if (b.hit || b.bracketed) {
        const bool takeLow = !b.hit && target - b.countLo <= b.countHi - target;
        result.resolution = takeLow ? b.lo : b.hi;
        return finish(result, error);
    }
    if (!b.haveLo) {
        if (!countAt(0.0f, least, error))
            return false;
        if (target <= least) {
            result.resolution = 0.0f;
            result.reached = least;
            result.evaluations = evaluations_;
            return true;
        }
        b.lo = 0.0f, b.countLo = least;
    }
    float lo = b.lo, hi = b.hi;
    uint64_t countLo = b.countLo, countHi = b.countHi;
    auto narrow = [&](float r, bool& hit) {
        uint64_t c = 0;
        if (!countAt(r, c, error))
            return false;
        hit = c == target;
        if (c >= target)
            hi = r, countHi = c;
        else
            lo = r, countLo = c;
        return true;
    };
    bool hit = false;
    const float guess = static_cast<float>(100.0 * static_cast<double>(target) / static_cast<double>(full));
    if (measure_ == Measure::VERTICES && guess > lo && guess < hi && !narrow(guess, hit))
        return false;
    // Below half a face of the finest mesh between the bounds, no resolution gives a new count.
    const double faceStep = 100.0 / static_cast<double>(std::max<uint64_t>(finestFaces_, 1));
    while (!hit && static_cast<double>(hi - lo) > 0.5 * faceStep) {
        const float mid = lo + 0.5f * (hi - lo);
        if (mid <= lo || mid >= hi)
            break;
        if (!narrow(mid, hit))
            return false;
    }
    const bool takeLow = !hit && target - countLo <= countHi - target;
    result.resolution = takeLow ? lo : hi;
    return finish(result, error);
}

bool TargetSearch::finish(Result& result, std::string& error) {
    uint64_t reached = 0;
    if (!countAt(result.resolution, reached, error))
        return false;
    result.reached = reached;
    result.evaluations = evaluations_;
    return true;
}

} // namespace gradix
