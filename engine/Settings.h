// Settings: the main node's engine settings by their attribute names, with the node's defaults and
// the node's clamping (floats to 0 .. FLT_MAX, a NaN to 0; enums to 0 .. 2), and how the node hands
// them to the engine. useNormals and useVertexColors default to whether normals or colours were given
// (as the tool does), which for a mesh without them is the node's own default (off).
//
//   Settings s;  s.set("lambdaUVs", 2.0);  s.set("vertexPlacement", "endpoint");
//   s.configure(model, weights, engine);   // before engine.setup()
#pragma once

#include <string>
#include <vector>

namespace gdx {
class Model;
class QSlim;
class HierarchicWeight;
} // namespace gdx

namespace gxengine {

struct Settings {
    short vertexPlacement = 0, edgeWeights = 0, weightCombining = 0;
    int useUVs = -1, useNormals = -1, useVertexColors = -1; // -1: when given
    bool clampUVs = false, unitizeNormals = true, clampVertexColors = true;
    float lambdaUVs = 1.0f, lambdaNormals = 1.0f, lambdaColors = 1.0f;
    float boundaryConstraint = 1000.0f, discontinuityConstraint = 1000.0f;
    bool blockSolve = false;
    bool preventFolds = false, keepTopology = false, lockBorder = false, holdBorder = false;
    bool replayScrub = false;
    bool flatNotSeam = false;
    float foldAngle = 60.0f;

    // Sets a number-valued setting; throws std::invalid_argument naming an unknown one.
    void set(const std::string& name, double value);
    // Sets an enum setting by one of its field names ("optimal", "end or mid", "endpoint", ...).
    void set(const std::string& name, const std::string& field);
    static const std::vector<std::string>& names();

    // The node's engine configuration: placement, weighting, constraints, guards, attribute use,
    // clamping and weights, in the node's order.
    void configure(gdx::Model& model, gdx::HierarchicWeight& weights, gdx::QSlim& engine, bool hasUVs,
                   bool hasNormals, bool hasColors) const;
};

} // namespace gxengine
