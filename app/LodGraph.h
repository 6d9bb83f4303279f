// LodGraph: the node graph that simplifies one source mesh, built the way a user wires it in the
// host:
//
//   source mesh ──outMesh──▶ Gradix ──outMesh──▶ EditUVs ──outMesh──▶ result mesh ──▶ file
//        │ gradixWeights ─inWeights─▶ │ outUVs/outUVids ──▶ │               ▲
//        └────────────── setupShaders (per-face materials) ────────────────┘
//
// Moving between resolutions reuses the same engine: lower ones contract further, higher ones undo
// recorded contractions. The graph is read once per resolution and the result is kept until the
// resolution changes.
//
//   1. graph.build(session, source, settings, error)   2. graph.setWeights(values, error)  (optional)
//   3. graph.setResolution(40, error)         4. graph.evaluate(counts, error)
//   5. graph.resultMesh(true, mesh, error)
#pragma once

#include "NodeSettings.h"
#include "Session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

struct MeshCounts {
    uint64_t triangles = 0;
    uint64_t vertices = 0; // vertices that some triangle uses
};

class LodGraph {
public:
    // Host errors are added to the messages through `session`, which must outlive the graph.
    bool build(Session& session, const SourceMesh& source, const NodeSettings& settings, std::string& error);
    // One painted value per source vertex, fed through "addPaintableWeightsGX" and inWeights.
    bool setWeights(const std::vector<double>& weights, std::string& error);
    // `percent` of the source's triangles (0 … 100). Setting the current value again does nothing.
    bool setResolution(float percent, std::string& error);
    float resolution() const { return resolution_; }
    // The resolution the node is given for `percent` of the source's triangles: the same, unless the
    // node holds fewer triangles than the source (see SourceMesh::nodeScale).
    float nodePercent(float percent) const;
    // A graph that has been evaluated below its current resolution holds a state reached by undoing
    // contractions, which restores positions and quadrics only up to rounding. Settling rebuilds
    // the engine from the source and moves it straight down to the current resolution, so the
    // result is the one a fresh graph gives there, whatever path led to it.
    bool settle(std::string& error);
    // Evaluates the graph at the current resolution.
    bool evaluate(MeshCounts& counts, std::string& error);
    // The simplified mesh under the source's name, parent and transform, with the source's
    // materials carried over when `keepMaterials`, and without points no triangle uses.
    bool resultMesh(bool keepMaterials, gxhost::SceneMesh& out, std::string& error);

    const SourceMesh& source() const { return *source_; }
    const std::string& gradixNode() const { return gradix_; }
    const std::string& resultNode() const { return result_; }
    // Gives the result mesh's faces the source's materials (done once per resolution).
    bool transferMaterials(std::string& error);

private:
    std::string fail(const std::string& problem) const;

    Session* session_ = nullptr;
    const SourceMesh* source_ = nullptr;
    std::string gradix_, editUVs_, result_;
    float resolution_ = 100.0f;
    float nodeResolution_ = 100.0f; // as written to the node (see SourceMesh::nodeScale)
    bool evaluated_ = false;
    bool materialsDone_ = false;
    float lowestEvaluated_ = 100.0f; // the node's, since its engine was last built
    bool movedUp_ = false;
    bool flatNormals_ = false; // results get their faces' normals
    MeshCounts counts_;
};

// Triangles and vertices of a polygon mesh as triangulation gives them.
MeshCounts countMesh(const gxhost::SceneMesh& mesh);

} // namespace gradix
