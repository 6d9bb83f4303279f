#include "Settings.h"

#include "HierarchicWeight.h"
#include "QSlim.h"

#include <cfloat>
#include <stdexcept>

namespace gxengine {
namespace {

enum class Kind { ENUM, BOOL, FLOAT };

struct Entry {
    const char* name;
    Kind kind;
    const char* fields[3];
};

// Attribute order as the node declares them.
const Entry kEntries[] = {
    {"vertexPlacement", Kind::ENUM, {"optimal", "end or mid", "endpoint"}},
    {"edgeWeights", Kind::ENUM, {"avg.vertex", "max.vertex", "min.vertex"}},
    {"weightCombining", Kind::ENUM, {"average", "max", "min"}},
    {"useUVs", Kind::BOOL, {}},
    {"useNormals", Kind::BOOL, {}},
    {"useVertexColors", Kind::BOOL, {}},
    {"clampUVs", Kind::BOOL, {}},
    {"unitizeNormals", Kind::BOOL, {}},
    {"clampVertexColors", Kind::BOOL, {}},
    {"lambdaUVs", Kind::FLOAT, {}},
    {"lambdaNormals", Kind::FLOAT, {}},
    {"lambdaColors", Kind::FLOAT, {}},
    {"boundaryConstraint", Kind::FLOAT, {}},
    {"discontinuityConstraint", Kind::FLOAT, {}},
    {"blockSolve", Kind::BOOL, {}},
    {"preventFolds", Kind::BOOL, {}},
    {"foldAngle", Kind::FLOAT, {}},
    {"keepTopology", Kind::BOOL, {}},
    {"lockBorder", Kind::BOOL, {}},
    {"holdBorder", Kind::BOOL, {}},
    {"replayScrub", Kind::BOOL, {}},
    {"flatNotSeam", Kind::BOOL, {}},
};

const Entry& find(const std::string& name) {
    for (const Entry& e : kEntries)
        if (name == e.name)
            return e;
    std::string known;
    for (const Entry& e : kEntries)
        known += std::string(known.empty() ? "" : ", ") + e.name;
    throw std::invalid_argument("unknown setting '" + name + "' (known: " + known + ")");
}

// The node's clamping: above the range to its top, below it or NaN to its bottom.
template <typename T> T clampSetting(T value, T low, T high) {
    if (value > high)
        return high;
    if (value < low || value != value)
        return low;
    return value;
}

} // namespace

const std::vector<std::string>& Settings::names() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> out;
        for (const Entry& e : kEntries)
            out.push_back(e.name);
        return out;
    }();
    return list;
}

void Settings::set(const std::string& name, double value) {
    const Entry& e = find(name);
    // Enums arrive as a short and floats as a float, as the node reads its data handles.
    const auto enumValue = [&] { return clampSetting<short>(value != value ? 0 : short(value), 0, 2); };
    const auto floatValue = [&] { return clampSetting<float>(float(value), 0.0f, FLT_MAX); };
    const std::string n = e.name;
    if (n == "vertexPlacement")
        vertexPlacement = enumValue();
    else if (n == "edgeWeights")
        edgeWeights = enumValue();
    else if (n == "weightCombining")
        weightCombining = enumValue();
    else if (n == "useUVs")
        useUVs = value != 0.0 ? 1 : 0;
    else if (n == "useNormals")
        useNormals = value != 0.0;
    else if (n == "useVertexColors")
        useVertexColors = value != 0.0;
    else if (n == "clampUVs")
        clampUVs = value != 0.0;
    else if (n == "unitizeNormals")
        unitizeNormals = value != 0.0;
    else if (n == "clampVertexColors")
        clampVertexColors = value != 0.0;
    else if (n == "lambdaUVs")
        lambdaUVs = floatValue();
    else if (n == "lambdaNormals")
        lambdaNormals = floatValue();
    else if (n == "lambdaColors")
        lambdaColors = floatValue();
    else if (n == "boundaryConstraint")
        boundaryConstraint = floatValue();
    else if (n == "discontinuityConstraint")
        discontinuityConstraint = floatValue();
    else if (n == "blockSolve")
        blockSolve = value != 0.0;
    else if (n == "preventFolds")
        preventFolds = value != 0.0;
    else if (n == "foldAngle")
        foldAngle = clampSetting<float>(float(value), 0.0f, 180.0f);
    else if (n == "keepTopology")
        keepTopology = value != 0.0;
    else if (n == "lockBorder")
        lockBorder = value != 0.0;
    else if (n == "holdBorder")
        holdBorder = value != 0.0;
    else if (n == "replayScrub")
        replayScrub = value != 0.0;
    else if (n == "flatNotSeam")
        flatNotSeam = value != 0.0;
}

void Settings::set(const std::string& name, const std::string& field) {
    const Entry& e = find(name);
    if (e.kind == Kind::ENUM)
        for (int i = 0; i < 3; ++i)
            if (field == e.fields[i])
                return set(name, double(i));
    std::string known;
    if (e.kind == Kind::ENUM)
        known = std::string(" (one of '") + e.fields[0] + "', '" + e.fields[1] + "', '" + e.fields[2] + "')";
    throw std::invalid_argument("setting '" + name + "': bad value '" + field + "'" + known);
}

void Settings::configure(gdx::Model& model, gdx::HierarchicWeight& weights, gdx::QSlim& engine, bool hasUVs,
                         bool hasNormals, bool hasColors) const {
    // The node's enums number their fields in the reverse of the engine's.
    engine.placement = 2 - vertexPlacement;
    weights.setMode(2 - weightCombining);
    engine.setEdgeWeighting(2 - edgeWeights);
    engine.setBoundaryWeight(boundaryConstraint);
    engine.setDiscontinuityWeight(discontinuityConstraint);
    engine.setBlockSolve(blockSolve);
    engine.setGuards(preventFolds ? foldAngle : 0.0, keepTopology, lockBorder, holdBorder);
    engine.setReplayScrub(replayScrub);
    engine.setFacetedNotSeams(flatNotSeam);
    model.setAttributeUse(useUVs < 0 ? hasUVs : useUVs > 0, useNormals < 0 ? hasNormals : useNormals > 0,
                          useVertexColors < 0 ? hasColors : useVertexColors > 0);
    model.setAttributeClamping(clampUVs, unitizeNormals, clampVertexColors);
    model.setAttributeWeights(lambdaUVs, lambdaNormals, lambdaColors);
}

} // namespace gxengine
