// ErrorMeter: how far simplified meshes are from the sources of a GraphSet, both for the whole
// scene and for one mesh at a time (in world space, so the meshes' errors compare). The sources'
// measuring trees are built on first use and kept.
//
//   ErrorMeter meter(set.sources());
//   gxmeasure::Distance d = meter.scene(results);   d.hausdorff / meter.diagonal()
#pragma once

#include "MeshSurface.h"
#include "Session.h"
#include "SurfaceDistance.h"

#include <memory>
#include <vector>

namespace gradix {

class ErrorMeter {
public:
    explicit ErrorMeter(const std::vector<SourceMesh>& sources);
    ~ErrorMeter();

    // The results (one per source, in order; empty ones are left out) against every source.
    gxmeasure::Distance scene(const std::vector<gxhost::SceneMesh>& results);
    // One result against its own source; `estimate` samples it coarsely (for error curves).
    gxmeasure::Distance mesh(size_t index, const gxhost::SceneMesh& result, bool estimate = false);
    // The sources' bounding-box diagonal, all meshes together.
    double diagonal();
    // Frees the measuring trees and surfaces kept so far (measuring again builds them again).
    void release();

private:
    struct Measured {
        gxmeasure::Surface surface;
        std::unique_ptr<gxmeasure::SurfaceTree> tree;
    };
    gxmeasure::Distance against(Measured& source, gxmeasure::Surface result,
                                const gxmeasure::Sampling& sampling);

    const std::vector<SourceMesh>& sources_;
    std::vector<Matrix4> worlds_;
    bool uvs_ = false;
    Measured scene_;
    std::vector<Measured> meshes_, estimates_;
};

} // namespace gradix
