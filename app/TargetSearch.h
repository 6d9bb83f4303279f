// TargetSearch: finds the resolution at which a set of graphs, all at the same resolution, gives a
// wanted total of triangles or vertices. Counts only grow with the resolution, so the search
// bisects the resolution, starting from a proportional guess, and stops when the count is hit or
// when no resolution between the bounds could give another face count. It ends on the closer of
// the two bounds (the finer one on a tie), so the result is within one contraction of the target.
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
    bool countAt(float resolution, uint64_t& count, std::string& error);

    std::vector<LodGraph>& graphs_;
    Measure measure_;
    std::function<void(float)> onStep_;
    unsigned evaluations_ = 0;
    uint64_t finestFaces_ = 0;
};

} // namespace gradix
