// SceneBudget: gives every mesh of a GraphSet its own resolution so that one target is spent over
// the whole scene by measured error, and no part vanishes.
//
// Each mesh's error curve is measured once at a ladder of resolutions (its two-sided Hausdorff
// distance to its own source, in world units). A triangle target is met by the smallest error
// level at which the meshes, each at its coarsest resolution under that level, fit in the target:
// a flat panel goes down long before a detailed part loses any shape. An error bound is met per
// mesh by searching its resolution, then checked on the whole scene.
//
// A part never goes below its floor: min(its source triangles, 4) triangles, as many as the
// smallest closed shape (a tetrahedron) has, unless dropping is allowed.
//
//   SceneBudget budget(set, meter, allowDrop);
//   budget.spendPercent(10, error)   or   budget.meetError(0.02, found, error)
#pragma once

#include "ErrorMeter.h"
#include "GraphSet.h"

#include <string>
#include <vector>

namespace gradix {

class SceneBudget {
public:
    static constexpr uint64_t PART_FLOOR = 4;

    SceneBudget(GraphSet& set, ErrorMeter& meter, bool allowDrop)
        : set_(set), meter_(meter), allowDrop_(allowDrop) {}

    // `percent` of the scene's triangles, spent by error across meshes (one mesh: that resolution).
    bool spendPercent(double percent, std::string& error);
    // The coarsest result whose scene Hausdorff distance is at most `bound`; its measure in `found`.
    bool meetError(double bound, gxmeasure::Distance& found, std::string& error);
    // Raises every mesh below its floor to the lowest resolution that keeps it.
    bool keepParts(std::string& error);
    const std::vector<float>& resolutions() const { return resolutions_; }

private:
    struct Point {
        float resolution;
        uint64_t triangles;
        double error; // the largest measured at this resolution or any finer one
    };
    bool measureCurves(std::string& error);
    bool apply(std::string& error);
    bool meshError(size_t mesh, float resolution, bool estimate, uint64_t& triangles, double& hausdorff,
                   std::string& error);
    uint64_t floorOf(size_t mesh) const;
    // The resolution of `mesh` at error level `level` on its curve, and its estimated triangles.
    float resolutionAt(size_t mesh, double level, double& triangles) const;

    GraphSet& set_;
    ErrorMeter& meter_;
    bool allowDrop_;
    std::vector<std::vector<Point>> curves_;
    std::vector<float> resolutions_;
};

} // namespace gradix
