// EngineSession: one mesh in the core engine, fed as the main node feeds it, and moved between levels.
//
//   MeshInput in{...};  checkMeshInput(in);          // std::invalid_argument on a bad array
//   EngineSession s(in, settings);                   // model, weights, engine, empty record stack
//   s.setResolution(25.0f);                          // percent of the triangles, as the node's attribute
//   s.reachTriangles(1000);  s.reachVertices(600);   // nearest reachable count (downward moves)
//
// The model is built like the node builds it from a triangle mesh: triangles the host would refuse
// (zero area, repeated corners) are left out, each corner becomes a wedge (first-set UV, normal,
// colour; an absent normal is (0, 0, 0), an absent colour (0, 0, 0, 1)), then wedges are split where
// they are not joined around a vertex. Model face f stands for input face inputFace(f).
#pragma once

#include "ArrayView.h"
#include "Settings.h"

#include "ContractionSequence.h"
#include "HierarchicWeight.h"
#include "Model.h"
#include "QSlim.h"

#include <memory>
#include <vector>

namespace gxengine {

// A per-corner (faces x 3 x width) or per-vertex (vertices x width) attribute array.
struct AttributeInput {
    ArrayView values;
    bool perCorner = false;
};

struct MeshInput {
    ArrayView vertices;                 // N x 3
    ArrayView faces;                    // M x 3
    std::vector<AttributeInput> uvSets; // width 2 each
    AttributeInput normals;             // width 3
    AttributeInput colors;              // width 3 or 4
    ArrayView weights;                  // N painted weights in 0 .. 1
};

// Throws std::invalid_argument naming the array and what is wrong (shape, type, a NaN or infinite
// value, an index out of range); sets each attribute's perCorner.
void checkMeshInput(MeshInput& in);

class EngineSession {
public:
    EngineSession(const MeshInput& in, const Settings& settings);
    // The model built and the engine configured, but not set up: the input may go before setUp,
    // which takes the painted weights (N values in 0 .. 1) if given.
    struct DeferSetup {};
    EngineSession(const MeshInput& in, const Settings& settings, DeferSetup);
    void setUp(const ArrayView& weights = ArrayView());

    float resolution() const { return resolution_; }
    void setResolution(float percent);
    // Whether moving to `percent` would undo contractions.
    bool raises(float percent) const;
    void reachTriangles(uint32_t target);
    void reachVertices(uint32_t target);

    const gdx::Model& model() const { return *model_; }
    const gdx::QSlim& engine() const { return *engine_; }
    // The engine with every pair priced (a replaying engine defers pricing).
    const gdx::QSlim& settledEngine() {
        engine_->settle();
        return *engine_;
    }
    const gdx::ContractionSequence& sequence() const { return sequence_; }
    uint32_t inputFace(uint32_t modelFace) const { return inputFaces_[modelFace]; }
    // The vertices some active face uses.
    uint32_t usedVertices() const;

    // How the attributes were given, for reading them back the same way.
    uint32_t uvSets() const { return uint32_t(uvPerCorner_.size()); }
    bool uvPerCorner(uint32_t k) const { return uvPerCorner_[k]; }
    bool hasNormals() const { return normals_ >= 0; }
    bool normalsPerCorner() const { return normals_ > 0; }
    // The normals were given per corner as their faces' own (with flatNotSeam): the model holds none
    // and results get their own faces' normals.
    bool flatNormals() const { return flatNormals_; }
    int colorWidth() const { return colorWidth_; } // 0 without colours
    bool colorsPerCorner() const { return colorsPerCorner_; }

private:
    bool hasActiveFaceBesides(uint32_t v, const gdx::PairContraction& record) const;

    std::unique_ptr<gdx::Model> model_;
    std::unique_ptr<gdx::HierarchicWeight> weights_;
    std::unique_ptr<gdx::QSlim> engine_;
    gdx::ContractionSequence sequence_;
    std::vector<uint32_t> inputFaces_;
    float resolution_ = 100.0f;
    std::vector<bool> uvPerCorner_;
    int normals_ = -1; // -1 none, 0 per vertex, 1 per corner
    bool flatNormals_ = false;
    int colorWidth_ = 0;
    bool colorsPerCorner_ = false;
};

} // namespace gxengine
