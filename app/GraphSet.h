// GraphSet: the meshes of one input file, each with its own LodGraph, moved together: every mesh
// is simplified with the same settings and the same resolution, and the results go back into one
// file. Errors name the input file. With shareInstances, a mesh the file instances on several
// nodes is simplified once and placed on each of them.
//
//   1. set.load(session, "in.glb", error)     2. set.build(settings, weights, error)
//   3. set.setResolution(25, error)           4. set.evaluate(total, error); set.results(...)
#pragma once

#include "LodGraph.h"
#include "Progress.h"
#include "WeightSource.h"

#include <memory>
#include <string>
#include <vector>

namespace gradix {

// How painted weights reach the graphs: from a file, from a colour channel, or not at all.
struct WeightOptions {
    std::string file;
    std::string colorChannel; // "r", "g", "b" or "a"
};

class GraphSet {
public:
    // From now on a mesh that the file instances on several nodes is one source, simplified once
    // (call before load; the default keeps one source per node).
    void shareInstances() { shareInstances_ = true; }
    // Keep what a writer needs of the input besides its meshes while it is read (see
    // AssetWriter::keepSource), rather than have the writer read it again (call before load).
    void keepSourceAsset() { keepAsset_ = true; }
    std::unique_ptr<gxhost::SourceAsset> takeSourceAsset() { return std::move(asset_); }
    // The mesh of a file of one mesh, when large enough, is simplified in halves on two cores as
    // open reads it (see HalvesPass.h), most of the way to `percent` of its triangles, or with
    // `triangles` > 0 to that many. Call before open.
    void reduceAhead(double percent, uint64_t triangles) {
        aheadPercent_ = percent;
        aheadTriangles_ = triangles;
    }
    // Loads the plug-in into the session, reads the input and builds the graphs, telling `progress`.
    bool open(Session& session, const std::string& input, const NodeSettings& settings,
              const WeightOptions& weights, Progress& progress, std::string& error);
    bool load(Session& session, const std::string& input, std::string& error);
    bool build(const NodeSettings& settings, const WeightOptions& weights, std::string& error);
    bool setResolution(float percent, std::string& error);
    // Every graph as a fresh one would be at its current resolution (see LodGraph::settle).
    bool settle(std::string& error);
    // The summed counts of every mesh at the current resolution (per mesh in `perMesh` if given).
    bool evaluate(MeshCounts& total, std::string& error, std::vector<MeshCounts>* perMesh = nullptr);
    bool results(bool keepMaterials, std::vector<gxhost::SceneMesh>& meshes, std::string& error);
    // Deletes every graph's Gradix node, and with it its engine, once the results are taken: the
    // graphs cannot be evaluated again.
    void releaseEngines();

    const std::string& input() const { return input_; }
    const std::vector<SourceMesh>& sources() const { return sources_; }
    std::vector<LodGraph>& graphs() { return graphs_; }
    // `results` (one per source) on every node of the file that holds a mesh, in file order: an
    // instance gets the result of the mesh it shares, under its own name, parent and transform.
    std::vector<gxhost::SceneMesh> placed(const std::vector<gxhost::SceneMesh>& results) const;
    // The source meshes' own counts.
    MeshCounts sourceCounts(std::vector<MeshCounts>* perMesh = nullptr) const;

private:
    std::string named(const std::string& problem) const { return input_ + ": " + problem; }

    // A mesh node of the file: the source it shows, and where it is when it is an instance.
    struct Placement {
        size_t source = 0;
        bool instance = false;
        std::string name, parent;
        std::array<double, 16> transform{};
    };

    Session* session_ = nullptr;
    bool shareInstances_ = false;
    bool keepAsset_ = false;
    bool flatNormals_ = false; // flat-shaded meshes reach the graphs without normals
    double aheadPercent_ = -1.0;
    uint64_t aheadTriangles_ = 0;
    NodeReducer reduce_;
    std::unique_ptr<gxhost::SourceAsset> asset_;
    std::vector<Placement> placements_;
    std::string input_;
    std::vector<SourceMesh> sources_;
    std::vector<LodGraph> graphs_;
};

} // namespace gradix
