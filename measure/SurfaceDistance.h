// SurfaceDistance: how far two triangle surfaces are from each other, both ways.
//
// Each surface is sampled (its points, plus points spread over every triangle in proportion to its
// area) and every sample is sent to the closest point of the other surface through a ClosestTree.
// The largest of those distances is the one-sided Hausdorff distance; the area-weighted mean and RMS
// come from the spread samples. Open borders (edges of one triangle) are measured the same way
// against the other surface's borders, and where both surfaces carry UVs the UV at each sample is
// compared with the UV interpolated at its closest point.
//
//   gxmeasure::Distance d = gxmeasure::measureDistance(a, b);
//   d.hausdorff / d.diagonal * 100   // two-sided Hausdorff as % of A's box diagonal
//
// For repeated measurements against one surface (an error search), build a SurfaceTree once.
#pragma once

#include "Surface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace gxmeasure {

struct OneSided {
    double hausdorff = 0.0; // largest distance of a sample to the other surface
    double mean = 0.0;      // area-weighted
    double rms = 0.0;       // area-weighted
    uint64_t samples = 0;
};

struct Distance {
    OneSided aToB, bToA;
    double hausdorff = 0.0; // max of both ways
    double mean = 0.0;      // mean of the two one-sided means
    double rms = 0.0;       // root of the mean of the two one-sided mean squares
    double diagonal = 0.0;  // of A's bounding box
    bool hasBorder = false; // both surfaces have open borders
    double borderHausdorff = 0.0, borderMean = 0.0;
    bool hasUVs = false; // both surfaces carry UVs
    double uvMax = 0.0, uvMean = 0.0;
};

struct Sampling {
    // Spread samples per surface at least (each triangle gets one or more).
    uint64_t surfaceSamples = 200000;
    // Samples along each surface's open borders at least.
    uint64_t borderSamples = 20000;
    // The surface's own points sampled at most (evenly through the list; 0: every one). Fewer
    // make a rougher, cheaper Hausdorff distance, for estimates.
    uint64_t pointSamples = 0;
};

// `most` scaled to a surface of `triangles` triangles: 16 spread points a triangle and 4 border
// points, between 20,000 (2,000 on borders) and `most` (denser adds time, not digits); the
// point limit is kept.
Sampling scaledSampling(const Sampling& most, uint64_t triangles);

// A surface made ready for closest-point queries: its samples, its triangle tree and its border
// tree. It keeps a reference to `surface`, which must outlive it.
class SurfaceTree {
public:
    explicit SurfaceTree(const Surface& surface, const Sampling& sampling = {});
    ~SurfaceTree();
    SurfaceTree(const SurfaceTree&) = delete;
    SurfaceTree& operator=(const SurfaceTree&) = delete;
    const Surface& surface() const { return surface_; }

private:
    friend struct Measurer;
    struct Trees;
    struct Samples;
    // The samples and the border tree (`areas`: each triangle's).
    void sample(const Surface& surface, const Sampling& sampling, const std::vector<double>& areas,
                double totalArea);
    const Surface& surface_;
    std::unique_ptr<Trees> trees_;
    std::unique_ptr<Samples> samples_;
};

// Both ways between two prepared surfaces; A's diagonal is the reference.
Distance measureDistance(const SurfaceTree& a, const SurfaceTree& b);
Distance measureDistance(const Surface& a, const Surface& b, const Sampling& sampling = {});

} // namespace gxmeasure
