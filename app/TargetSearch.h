// TargetSearch: finds the resolution at which a set of graphs, all at the same resolution, gives a
// wanted total of triangles or vertices. Counts only grow with the resolution. For triangles the
// search first goes straight down to the resolution at which the node asks its engines for the
// wanted number of faces, then steps one face at a time; the result is then reached by moving down
// only, the way a plain resolution is. Otherwise (vertices, or an engine that cannot follow) it
// bisects the resolution. It stops when the count is hit or when no resolution between the bounds
// could give another face count, and ends on the closer of the two bounds (the coarser one on a
// tie, where it already stands), so the result is within one contraction of the target.
#pragma once

#include "LodGraph.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gradix {

class TargetSearch {
public:
    enum class Measure { TRIANGLES, VERTICES };

    struct Result {
        float resolution = 100.0f;
        uint64_t reached = 0;
        unsigned evaluations = 0;
    };

    TargetSearch(std::vector<LodGraph>& graphs, Measure measure) : graphs_(graphs), measure_(measure) {}
    // Called before every evaluation with the resolution about to be tried.
    void onStep(std::function<void(float)> step) { onStep_ = std::move(step); }

    // Leaves every graph at the resolution found.
    bool find(uint64_t target, Result& result, std::string& error);

private:
    struct Bounds {
        float lo = 0.0f, hi = 100.0f;
        uint64_t countLo = 0, countHi = 0;
        bool haveLo = false, hit = false, bracketed = false;
    };
    bool countAt(float resolution, uint64_t& count, std::string& error);
    // Faces the node asks its engines for at `resolution`, summed over the graphs.
    uint64_t predicted(float resolution) const;
    // The lowest resolution at which `predicted` reaches `faces`.
    float resolutionFor(uint64_t faces) const;
    bool walk(uint64_t target, Bounds& bounds, std::string& error);
    bool finish(Result& result, std::string& error);

    std::vector<LodGraph>& graphs_;
    Measure measure_;
    std::function<void(float)> onStep_;
    unsigned evaluations_ = 0;
    uint64_t finestFaces_ = 0;
    std::vector<uint64_t> sourceFaces_;
};

} // namespace gradix
