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

bool TargetSearch::find(uint64_t target, Result& result, std::string& error) {
    evaluations_ = 0;
    uint64_t full = 0, least = 0;
    if (!countAt(100.0f, full, error))
        return false;
    finestFaces_ = 0;
    for (LodGraph& graph : graphs_) {
        MeshCounts counts;
        graph.evaluate(counts, error);
        finestFaces_ = std::max(finestFaces_, counts.triangles);
    }
    result = Result();
    if (target >= full) {
        result.reached = full;
        result.evaluations = evaluations_;
        return true;
    }
    if (!countAt(0.0f, least, error))
        return false;
    if (target <= least) {
        result.resolution = 0.0f;
        result.reached = least;
        result.evaluations = evaluations_;
        return true;
    }

    // Invariant: count(lo) < target <= count(hi).
    float lo = 0.0f, hi = 100.0f;
    uint64_t countLo = least, countHi = full;
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
    if (guess > lo && guess < hi && !narrow(guess, hit))
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
    const bool takeLow = !hit && target - countLo < countHi - target;
    result.resolution = takeLow ? lo : hi;
    uint64_t reached = 0;
    if (!countAt(result.resolution, reached, error))
        return false;
    result.reached = reached;
    result.evaluations = evaluations_;
    return true;
}

} // namespace gradix
