#include "GraphSet.h"

#include "HalvesPass.h"
#include "MeshInfo.h"

#include <gxhost/Host.h>

namespace gradix {

bool GraphSet::load(Session& session, const std::string& input, std::string& error) {
    session_ = &session;
    input_ = input;
    graphs_.clear();
    placements_.clear();
    std::vector<SourceMesh> all;
    asset_ = keepAsset_ ? std::make_unique<gxhost::SourceAsset>() : nullptr;
    if (!session.importFile(input, all, error, asset_.get(), flatNormals_, reduce_))
        return false;
    sources_.clear();
    for (SourceMesh& mesh : all) {
        Placement place;
        place.source = sources_.size();
        if (shareInstances_ && !mesh.scene.instanceOf.empty()) {
            for (size_t i = 0; i < sources_.size(); ++i)
                if (sources_[i].scene.name == mesh.scene.instanceOf)
                    place = {i, true, mesh.scene.name, mesh.scene.parent, mesh.scene.transform};
        }
        placements_.push_back(place);
        if (!place.instance)
            sources_.push_back(std::move(mesh));
    }
    return true;
}

std::vector<gxhost::SceneMesh> GraphSet::placed(const std::vector<gxhost::SceneMesh>& results) const {
    std::vector<gxhost::SceneMesh> meshes;
    for (const Placement& place : placements_) {
        meshes.push_back(results[place.source]);
        if (place.instance) {
            gxhost::SceneMesh& mesh = meshes.back();
            mesh.instanceOf = mesh.name;
            mesh.name = place.name;
            mesh.parent = place.parent;
            mesh.transform = place.transform;
        }
    }
    return meshes;
}

bool GraphSet::open(Session& session, const std::string& input, const NodeSettings& settings,
                    const WeightOptions& weights, Progress& progress, std::string& error) {
    progress.stage("loading the plug-in");
    if (!session.loadPlugin(error))
        return false;
    progress.stage("reading " + input);
    flatNormals_ = settings.flatNotSeam;
    if (aheadPercent_ >= 0.0 || aheadTriangles_ > 0)
        reduce_ = [&](const gxhost::SceneMesh& mesh, size_t meshes, gxhost::SceneMesh& reduced) {
            // A file of several meshes spends its target over them by their measured errors, at
            // resolutions not known yet.
            const uint64_t triangles = polygonTriangles(mesh);
            if (triangles < kHalvesMinTriangles || meshes != 1)
                return false;
            progress.stage("simplifying " + mesh.name + " in two halves");
            const uint64_t target =
                aheadTriangles_ > 0 ? aheadTriangles_ : uint64_t(double(triangles) * aheadPercent_ / 100.0);
            return reduceInHalves(mesh, settings, target, reduced);
        };
    const bool loaded = load(session, input, error);
    reduce_ = nullptr;
    if (!loaded)
        return false;
    progress.stage("building the graphs");
    return build(settings, weights, error);
}

bool GraphSet::build(const NodeSettings& settings, const WeightOptions& weights, std::string& error) {
    std::vector<std::vector<double>> perMesh;
    if (!weights.file.empty() || !weights.colorChannel.empty()) {
        WeightSource source;
        if (!weights.file.empty()) {
            if (!source.readFile(weights.file, error))
                return false;
        } else {
            source.fromColors(sources_, weights.colorChannel[0]);
        }
        if (!source.split(sources_, perMesh, error)) {
            error = named(error);
            return false;
        }
    }
    // The graphs keep pointers into sources_, which no longer changes.
    graphs_.assign(sources_.size(), LodGraph());
    for (size_t i = 0; i < sources_.size(); ++i) {
        if (!graphs_[i].build(*session_, sources_[i], settings, error) ||
            (!perMesh.empty() && !graphs_[i].setWeights(perMesh[i], error))) {
            error = named(error);
            return false;
        }
    }
    return true;
}

bool GraphSet::setResolution(float percent, std::string& error) {
    for (LodGraph& graph : graphs_)
        if (!graph.setResolution(percent, error)) {
            error = named(error);
            return false;
        }
    return true;
}

bool GraphSet::settle(std::string& error) {
    for (LodGraph& graph : graphs_)
        if (!graph.settle(error)) {
            error = named(error);
            return false;
        }
    return true;
}

bool GraphSet::evaluate(MeshCounts& total, std::string& error, std::vector<MeshCounts>* perMesh) {
    total = MeshCounts();
    if (perMesh)
        perMesh->clear();
    for (LodGraph& graph : graphs_) {
        MeshCounts counts;
        if (!graph.evaluate(counts, error)) {
            error = named(error);
            return false;
        }
        total.triangles += counts.triangles;
        total.vertices += counts.vertices;
        if (perMesh)
            perMesh->push_back(counts);
    }
    return true;
}

bool GraphSet::results(bool keepMaterials, std::vector<gxhost::SceneMesh>& meshes, std::string& error) {
    meshes.assign(graphs_.size(), gxhost::SceneMesh());
    for (size_t i = 0; i < graphs_.size(); ++i)
        if (!graphs_[i].resultMesh(keepMaterials, meshes[i], error)) {
            error = named(error);
            return false;
        }
    return true;
}

void GraphSet::releaseEngines() {
    for (const LodGraph& graph : graphs_)
        gxhost::executeCommand("delete " + graph.gradixNode());
}

MeshCounts GraphSet::sourceCounts(std::vector<MeshCounts>* perMesh) const {
    MeshCounts total;
    if (perMesh)
        perMesh->clear();
    for (const SourceMesh& source : sources_) {
        const MeshCounts counts = countMesh(source.scene);
        total.triangles += counts.triangles;
        total.vertices += counts.vertices;
        if (perMesh)
            perMesh->push_back(counts);
    }
    return total;
}

} // namespace gradix
