#include "ErrorMeter.h"

namespace gradix {
namespace {

// The whole scene is sampled finely; single meshes, measured many times in searches, less so.
// Each surface gets the points its size needs up to these (as `gradix compare` samples).
const gxmeasure::Sampling SCENE_SAMPLING{200000, 20000};
const gxmeasure::Sampling MESH_SAMPLING{4000, 1000};
// Error curves measure every mesh at many resolutions only to rank them: a thousand points do.
const gxmeasure::Sampling ESTIMATE_SAMPLING{1000, 250, 1000};

gxmeasure::Sampling scaled(const gxmeasure::Sampling& most, const gxmeasure::Surface& surface) {
    return gxmeasure::scaledSampling(most, surface.triangles.size());
}

std::vector<const gxhost::SceneMesh*> scenesOf(const std::vector<SourceMesh>& sources) {
    std::vector<const gxhost::SceneMesh*> meshes;
    for (const SourceMesh& source : sources)
        meshes.push_back(&source.scene);
    return meshes;
}

} // namespace

ErrorMeter::ErrorMeter(const std::vector<SourceMesh>& sources)
    : sources_(sources), worlds_(worldTransforms(scenesOf(sources))), uvs_(allHaveUVs(scenesOf(sources))),
      meshes_(sources.size()), estimates_(sources.size()) {}

ErrorMeter::~ErrorMeter() = default;

gxmeasure::Distance ErrorMeter::against(Measured& source, gxmeasure::Surface result,
                                        const gxmeasure::Sampling& sampling) {
    if (!source.tree)
        source.tree =
            std::make_unique<gxmeasure::SurfaceTree>(source.surface, scaled(sampling, source.surface));
    if (result.triangles.empty()) {
        // Nothing left: the whole source is missing; count it as its diagonal away.
        gxmeasure::Distance d;
        d.diagonal = source.surface.diagonal();
        d.hausdorff = d.mean = d.rms = d.aToB.hausdorff = d.diagonal;
        return d;
    }
    const gxmeasure::SurfaceTree tree(result, scaled(sampling, result));
    return gxmeasure::measureDistance(*source.tree, tree);
}

void ErrorMeter::release() {
    scene_ = Measured();
    for (Measured& m : meshes_)
        m = Measured();
    for (Measured& m : estimates_)
        m = Measured();
}

double ErrorMeter::diagonal() {
    if (scene_.surface.points.empty())
        for (size_t i = 0; i < sources_.size(); ++i)
            appendSurface(scene_.surface, sources_[i].scene, worlds_[i], uvs_);
    return scene_.surface.diagonal();
}

gxmeasure::Distance ErrorMeter::scene(const std::vector<gxhost::SceneMesh>& results) {
    diagonal();
    gxmeasure::Surface result;
    for (size_t i = 0; i < results.size() && i < worlds_.size(); ++i)
        appendSurface(result, results[i], worlds_[i], uvs_ && allHaveUVs({&results[i]}));
    if (!result.hasUVs())
        result.uvs.clear();
    return against(scene_, std::move(result), SCENE_SAMPLING);
}

gxmeasure::Distance ErrorMeter::mesh(size_t index, const gxhost::SceneMesh& result, bool estimate) {
    Measured& source = (estimate ? estimates_ : meshes_)[index];
    if (source.surface.points.empty())
        appendSurface(source.surface, sources_[index].scene, worlds_[index], false);
    gxmeasure::Surface surface;
    appendSurface(surface, result, worlds_[index], false);
    return against(source, std::move(surface), estimate ? ESTIMATE_SAMPLING : MESH_SAMPLING);
}

} // namespace gradix
