#include "GradixNode.h"

#include "AddPaintableWeightsGXCommand.h"
#include "ComputeNumTriangles.h"
#include "Helpers.h"
#include "HierarchicWeight.h"
#include "SlimInfoAttribute.h"

#include <maya/MColorArray.h>
#include <maya/MComputation.h>
#include <maya/MDataBlock.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPluginData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MVectorArray.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>
#include <unordered_map>

static FileVersion fileVersion_GradixNode_cpp("$RCSfile: GradixNode.cpp,v $", "$Revision: 1.1 $",
                                              "$Date: 2026/12/05 19:45:00 $",
                                              "Last modified by $Author: gradix $");

const MTypeId GradixNode::id(0x001057F0);

MObject GradixNode::smInMesh, GradixNode::smInWeights, GradixNode::smVertexPlacement,
    GradixNode::smEdgeWeights, GradixNode::smWeightCombining, GradixNode::smResolution, GradixNode::smUseUVs,
    GradixNode::smUseNormals, GradixNode::smUseShaders, GradixNode::smUseVertexColors, GradixNode::smClampUVs,
    GradixNode::smUnitizeNormals, GradixNode::smClampVertexColors, GradixNode::smLambdaUVs,
    GradixNode::smLambdaNormals, GradixNode::smLambdaColors, GradixNode::smBoundaryConstraint,
    GradixNode::smDiscontinuityConstraint, GradixNode::smPauseMeshUpdate;
MObject GradixNode::smBlockSolve, GradixNode::smPreventFolds, GradixNode::smFoldAngle,
    GradixNode::smKeepTopology, GradixNode::smLockBorder, GradixNode::smHoldBorder, GradixNode::smReplayScrub,
    GradixNode::smFlatNotSeam;
MObject GradixNode::smOutMesh, GradixNode::smOutSlimInfo, GradixNode::smOutUVs, GradixNode::smOutUVids;

namespace {

// The first corner of a polygon at a given position (the triangulation gives triangles as points).
// Small polygons are searched in order; large ones through a map from the position's bits, which
// finds the same first corner (-0 and +0 compare equal, so both are stored as +0; a NaN position
// equals nothing) without the quadratic cost of searching a polygon of thousands of corners.
class CornerLookup {
public:
    void index(const MPointArray& corners) {
        byPosition_.clear();
        if (corners.length() <= kSearched)
            return;
        for (unsigned int i = 0; i < corners.length(); ++i)
            if (const auto key = keyOf(corners[i]))
                byPosition_.emplace(*key, int(i));
    }
    int find(const MPointArray& corners, const MPoint& p) const {
        if (corners.length() <= kSearched) {
            for (unsigned int i = 0; i < corners.length(); ++i)
                if (corners[i].x == p.x && corners[i].y == p.y && corners[i].z == p.z)
                    return int(i);
            return -1;
        }
        const auto key = keyOf(p);
        const auto found = key ? byPosition_.find(*key) : byPosition_.end();
        return found == byPosition_.end() ? -1 : found->second;
    }

private:
    using Key = std::array<uint64_t, 3>;
    struct Hash {
        size_t operator()(const Key& k) const {
            return size_t((k[0] * 0x9E3779B97F4A7C15ull) ^ (k[1] * 0xC2B2AE3D27D4EB4Full) ^
                          (k[2] + (k[2] >> 29)));
        }
    };
    static constexpr unsigned int kSearched = 16;
    static std::optional<Key> keyOf(const MPoint& p) {
        if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z))
            return std::nullopt;
        Key key;
        const double xyz[3] = {p.x + 0.0, p.y + 0.0, p.z + 0.0};
        std::memcpy(key.data(), xyz, sizeof xyz);
        return key;
    }
    std::unordered_map<Key, int, Hash> byPosition_;
};

// ---------------------------------------------------------------------------------------------------
// The attribute table

enum class Kind { MESH, DOUBLE_ARRAY, INT_ARRAY, SLIM_INFO, ENUM, FLOAT, BOOL };

struct AttributeSpec {
    MObject* handle;
    const char* longName;
    const char* shortName;
    Kind kind;
    double defaultValue;
    const char* token;         // the name failure messages use for the attribute
    bool tightCreateMessage;   // "initialize:Couldn't" without a blank
    bool readable, keyable;    // inputs: writable, storable and internal are always set
    const char* fields[3];     // enum field names
    const char* fieldTexts[3]; // the same as failure messages name them
};

const AttributeSpec kInputs[] = {
    {&GradixNode::smInMesh, "inMesh", "in", Kind::MESH, 0, "smInMesh", true, false, true, {}, {}},
    {&GradixNode::smInWeights,
     "inWeights",
     "inw",
     Kind::DOUBLE_ARRAY,
     0,
     "smInWeights",
     false,
     false,
     false,
     {},
     {}},
    {&GradixNode::smVertexPlacement,
     "vertexPlacement",
     "vp",
     Kind::ENUM,
     0,
     "smVertexPlacement",
     false,
     true,
     true,
     {"optimal", "end or mid", "endpoint"},
     {"vertexPlacement::optimal", "vertexPlacement::end or mid", "vertexPlacement::endpoint"}},
    {&GradixNode::smEdgeWeights,
     "edgeWeights",
     "ew",
     Kind::ENUM,
     0,
     "smEdgeWeighting",
     false,
     true,
     true,
     {"avg.vertex", "max.vertex", "min.vertex"},
     {"edgeWeighting::average", "edgeWeighting::max", "edgeWeighting::min"}},
    {&GradixNode::smWeightCombining,
     "weightCombining",
     "wc",
     Kind::ENUM,
     0,
     "smWeightCombining",
     false,
     true,
     true,
     {"average", "max", "min"},
     {"weightCombining::average", "weightCombining::max", "weightCombining::min"}},
    {&GradixNode::smResolution,
     "resolution",
     "rs",
     Kind::FLOAT,
     100.0,
     "smResolution",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smUseUVs, "useUVs", "uv", Kind::BOOL, 1, "smUseUVs", false, true, true, {}, {}},
    {&GradixNode::smUseNormals, "useNormals", "n", Kind::BOOL, 0, "smUseNormals", false, true, true, {}, {}},
    {&GradixNode::smUseShaders, "useShaders", "s", Kind::BOOL, 0, "smUseShaders", false, true, true, {}, {}},
    {&GradixNode::smUseVertexColors,
     "useVertexColors",
     "c",
     Kind::BOOL,
     0,
     "smUseVertexColors",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smClampUVs, "clampUVs", "cuv", Kind::BOOL, 0, "smClampUVs", false, true, true, {}, {}},
    {&GradixNode::smUnitizeNormals,
     "unitizeNormals",
     "cn",
     Kind::BOOL,
     1,
     "smUnitizeNormals",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smClampVertexColors,
     "clampVertexColors",
     "cv",
     Kind::BOOL,
     1,
     "smClampVertexColors",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smLambdaUVs,
     "lambdaUVs",
     "luv",
     Kind::FLOAT,
     1.0,
     "smLambdaUVs",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smLambdaNormals,
     "lambdaNormals",
     "ln",
     Kind::FLOAT,
     1.0,
     "smLambdaNormals",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smLambdaColors,
     "lambdaColors",
     "lc",
     Kind::FLOAT,
     1.0,
     "smLambdaVertexColors",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smBoundaryConstraint,
     "boundaryConstraint",
     "bc",
     Kind::FLOAT,
     1000.0,
     "smBoundaryConstraint",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smDiscontinuityConstraint,
     "discontinuityConstraint",
     "dc",
     Kind::FLOAT,
     1000.0,
     "smDiscontinuityConstraint",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smPauseMeshUpdate,
     "pauseMeshUpdate",
     "pu",
     Kind::BOOL,
     0,
     "smPauseMeshUpdate",
     false,
     true,
     true,
     {},
     {}},
};

const AttributeSpec kOutputs[] = {
    {&GradixNode::smOutMesh, "outMesh", "out", Kind::MESH, 0, "smOutMesh", false, true, false, {}, {}},
    {&GradixNode::smOutSlimInfo,
     "outSlimInfo",
     "osi",
     Kind::SLIM_INFO,
     0,
     "smOutSlimInfo",
     false,
     true,
     false,
     {},
     {}},
    {&GradixNode::smOutUVs, "outUVs", "oUV", Kind::DOUBLE_ARRAY, 0, "smOutUVs", true, true, false, {}, {}},
    {&GradixNode::smOutUVids,
     "outUVids",
     "oUVids",
     Kind::INT_ARRAY,
     0,
     "smOutUVids",
     true,
     true,
     false,
     {},
     {}},
};

// Engine settings added after every specified attribute, off by default, so that a node left at its
// defaults computes what it always has. blockSolve: optimal placement by eliminating the attribute
// blocks (linear in a pair's wedges instead of cubic; equal up to rounding). preventFolds (with
// foldAngle), keepTopology, lockBorder and holdBorder: the engine's contraction guards.
// replayScrub: lowering the resolution re-applies the contractions undone before instead of asking
// the queue again, and pairs are priced when the queue is next needed (QSlim::setReplayScrub).
// flatNotSeam: the normals of a smooth surface shaded flat make no seam planes
// (QSlim::setFacetedNotSeams).
const AttributeSpec kEngineInputs[] = {
    {&GradixNode::smBlockSolve,
     "blockSolve",
     "bks",
     Kind::BOOL,
     0,
     "smBlockSolve",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smPreventFolds,
     "preventFolds",
     "pf",
     Kind::BOOL,
     0,
     "smPreventFolds",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smFoldAngle,
     "foldAngle",
     "fa",
     Kind::FLOAT,
     60.0,
     "smFoldAngle",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smKeepTopology,
     "keepTopology",
     "kt",
     Kind::BOOL,
     0,
     "smKeepTopology",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smLockBorder, "lockBorder", "lb", Kind::BOOL, 0, "smLockBorder", false, true, true, {}, {}},
    {&GradixNode::smHoldBorder, "holdBorder", "hb", Kind::BOOL, 0, "smHoldBorder", false, true, true, {}, {}},
    {&GradixNode::smReplayScrub,
     "replayScrub",
     "rps",
     Kind::BOOL,
     0,
     "smReplayScrub",
     false,
     true,
     true,
     {},
     {}},
    {&GradixNode::smFlatNotSeam,
     "flatNotSeam",
     "fns",
     Kind::BOOL,
     0,
     "smFlatNotSeam",
     false,
     true,
     true,
     {},
     {}},
};

bool isNumeric(Kind kind) {
    return kind == Kind::FLOAT || kind == Kind::BOOL;
}

MObject createAttribute(const AttributeSpec& entry, MStatus& status) {
    MFnTypedAttribute typed;
    MFnNumericAttribute numeric;
    MFnEnumAttribute enumeration;
    switch (entry.kind) {
    case Kind::MESH:
        return typed.create(entry.longName, entry.shortName, MFnData::kMesh, MObject::kNullObj, &status);
    case Kind::DOUBLE_ARRAY:
        return typed.create(entry.longName, entry.shortName, MFnData::kDoubleArray, MObject::kNullObj,
                            &status);
    case Kind::INT_ARRAY:
        return typed.create(entry.longName, entry.shortName, MFnData::kIntArray, MObject::kNullObj, &status);
    case Kind::SLIM_INFO:
        return typed.create(entry.longName, entry.shortName, SlimInfoAttribute::id, MObject::kNullObj,
                            &status);
    case Kind::ENUM:
        return enumeration.create(entry.longName, entry.shortName, short(entry.defaultValue), &status);
    case Kind::FLOAT:
        return numeric.create(entry.longName, entry.shortName, MFnNumericData::kFloat, entry.defaultValue,
                              &status);
    case Kind::BOOL:
        return numeric.create(entry.longName, entry.shortName, MFnNumericData::kBoolean, entry.defaultValue,
                              &status);
    }
    status = MStatus::kInvalidParameter;
    return MObject::kNullObj;
}

MString initializeMessage(const char* what) {
    return MString("GradixNode::initialize: ") + what;
}

// Creates the attribute, sets its flags (readable, writable, storable, keyable, internal, in that
// order, only those the node sets) and its enum fields.
MStatus createWithFlags(const AttributeSpec& entry, bool input) {
    MStatus status;
    *entry.handle = createAttribute(entry, status);
    if (!status) {
        const MString text = MString("Couldn't create attribute '") + entry.longName + "'";
        return reportError(entry.tightCreateMessage ? MString("GradixNode::initialize:") + text
                                                    : initializeMessage(text.asChar()),
                           status);
    }
    MFnAttribute flags(*entry.handle);
    if (input) {
        flags.setReadable(entry.readable);
        flags.setWritable(true);
        flags.setStorable(true);
        flags.setKeyable(entry.keyable);
        flags.setInternal(true);
    } else {
        flags.setReadable(true);
        flags.setWritable(false);
        flags.setStorable(false);
        if (entry.kind == Kind::SLIM_INFO)
            flags.setInternal(false);
    }
    if (entry.kind == Kind::ENUM) {
        MFnEnumAttribute enumeration(*entry.handle);
        for (short i = 0; i < 3; ++i) {
            status = enumeration.addField(entry.fields[i], i);
            if (!status)
                return reportError(
                    initializeMessage((MString("Couldn't addField '") + entry.fieldTexts[i] + "'").asChar()),
                    status);
        }
    }
    return MStatus::kSuccess;
}

MStatus addToNode(const AttributeSpec& entry) {
    const MStatus status = MPxNode::addAttribute(*entry.handle);
    if (!status)
        return reportError(
            initializeMessage((MString("Couldn't addAttribute '") + entry.token + "'").asChar()), status);
    return status;
}

// The face index list shared by every node: entries 3k, 3k+1, 3k+2 hold k.
MIntArray& faceIndexList() {
    static MIntArray list;
    return list;
}

void sizeFaceIndexList(unsigned int faces) {
    MIntArray& list = faceIndexList();
    const unsigned int wanted = 3 * faces;
    while (list.length() < wanted) {
        const int k = int(list.length() / 3);
        list.append(k);
        list.append(k);
        list.append(k);
    }
    while (list.length() > wanted)
        list.remove(list.length() - 1);
}

// Warn-once flags of one triangulation run.
bool gWarnNormals = true, gWarnColors = true, gWarnUVs = true;

template <typename T> bool clampAndCompare(T value, T low, T high, T& cached) {
    T stored = value;
    if (value > high)
        stored = high;
    else if (value < low || value != value)
        stored = low;
    const bool changed = stored != cached;
    cached = stored;
    return changed;
}

} // namespace

// -------------------------------------------------------------------------------------------------
// Construction and attributes

GradixNode::GradixNode() = default;

GradixNode::~GradixNode() {
    // Released in this order: the records refer to the model the engine works on.
    contractions.reset();
    engine.reset();
    weights.reset();
    model.reset();
}

void* GradixNode::creator() {
    return new GradixNode;
}

void GradixNode::postConstructor() {
    MPlug(thisMObject(), smResolution).setValue(resolution);
}

MStatus GradixNode::initialize() {
    MStatus status;
    for (const AttributeSpec& entry : kInputs) {
        if (!(status = createWithFlags(entry, true)))
            return status;
        if (isNumeric(entry.kind) && !(status = addToNode(entry)))
            return status;
    }
    for (const AttributeSpec& entry : kOutputs)
        if (!(status = createWithFlags(entry, false)))
            return status;
    for (const AttributeSpec& entry : kInputs)
        if (!isNumeric(entry.kind) && !(status = addToNode(entry)))
            return status;
    for (const AttributeSpec& entry : kOutputs)
        if (!(status = addToNode(entry)))
            return status;
    for (const AttributeSpec& output : kOutputs)
        for (const AttributeSpec& input : kInputs) {
            status = attributeAffects(*input.handle, *output.handle);
            if (!status)
                return reportError(initializeMessage((MString("attributeAffects '") + input.token + " -> " +
                                                      output.token + "' failed")
                                                         .asChar()),
                                   status);
        }
    for (const AttributeSpec& entry : kEngineInputs) {
        if (!(status = createWithFlags(entry, true)) || !(status = addToNode(entry)))
            return status;
        for (const AttributeSpec& output : kOutputs)
            if (!(status = attributeAffects(*entry.handle, *output.handle)))
                return reportError(initializeMessage((MString("attributeAffects '") + entry.token + " -> " +
                                                      output.token + "' failed")
                                                         .asChar()),
                                   status);
    }
    return MStatus::kSuccess;
}

// -------------------------------------------------------------------------------------------------
// Internal values

bool GradixNode::getInternalValue(const MPlug& plug, MDataHandle& handle) {
    return MPxNode::getInternalValue(plug, handle);
}

bool GradixNode::setInternalValue(const MPlug& plug, const MDataHandle& handle) {
    const MObject attribute = plug.attribute();
    const float maxFloat = FLT_MAX;
    auto floatSetting = [&](float& cached, float low, float high) {
        const bool changed = clampAndCompare(handle.asFloat(), low, high, cached);
        handle.set(cached);
        return changed;
    };
    auto enumSetting = [&](short& cached) {
        const bool changed = clampAndCompare<short>(handle.asShort(), 0, 2, cached);
        handle.set(cached);
        return changed;
    };
    auto boolSetting = [&](bool& cached) {
        const bool value = handle.asBool();
        const bool changed = value != cached;
        cached = value;
        return changed;
    };
    auto rebuildAndResolution = [&](bool changed) {
        if (changed)
            rebuildNeeded = resolutionDirty = true;
    };

    if (attribute == smInMesh) {
        rebuildNeeded = weightsDirty = resolutionDirty = true;
        if (!resizeConnectedWeights())
            return false;
    } else if (attribute == smInWeights) {
        weightsDirty = true;
    } else if (attribute == smResolution) {
        if (floatSetting(resolution, 0.0f, 100.0f))
            resolutionDirty = true;
    } else if (attribute == smUseUVs) {
        rebuildAndResolution(boolSetting(useUVs));
    } else if (attribute == smUseNormals) {
        rebuildAndResolution(boolSetting(useNormals));
    } else if (attribute == smUseShaders) {
        rebuildAndResolution(boolSetting(useShaders));
    } else if (attribute == smUseVertexColors) {
        rebuildAndResolution(boolSetting(useVertexColors));
    } else if (attribute == smClampUVs) {
        rebuildAndResolution(boolSetting(clampUVs));
    } else if (attribute == smUnitizeNormals) {
        rebuildAndResolution(boolSetting(unitizeNormals));
    } else if (attribute == smClampVertexColors) {
        rebuildAndResolution(boolSetting(clampVertexColors));
    } else if (attribute == smLambdaUVs || attribute == smLambdaNormals || attribute == smLambdaColors ||
               attribute == smBoundaryConstraint || attribute == smDiscontinuityConstraint) {
        float& cached = attribute == smLambdaUVs            ? lambdaUVs
                        : attribute == smLambdaNormals      ? lambdaNormals
                        : attribute == smLambdaColors       ? lambdaColors
                        : attribute == smBoundaryConstraint ? boundaryConstraint
                                                            : discontinuityConstraint;
        if (floatSetting(cached, 0.0f, maxFloat))
            rebuildNeeded = true;
    } else if (attribute == smVertexPlacement) {
        rebuildAndResolution(enumSetting(vertexPlacement));
    } else if (attribute == smEdgeWeights) {
        rebuildAndResolution(enumSetting(edgeWeights));
    } else if (attribute == smWeightCombining) {
        rebuildAndResolution(enumSetting(weightCombining));
    } else if (attribute == smPauseMeshUpdate) {
        pauseMeshUpdate = handle.asBool();
    } else if (attribute == smBlockSolve) {
        rebuildAndResolution(boolSetting(blockSolve));
    } else if (attribute == smPreventFolds) {
        rebuildAndResolution(boolSetting(preventFolds));
    } else if (attribute == smFoldAngle) {
        rebuildAndResolution(floatSetting(foldAngle, 0.0f, 180.0f));
    } else if (attribute == smKeepTopology) {
        rebuildAndResolution(boolSetting(keepTopology));
    } else if (attribute == smLockBorder) {
        rebuildAndResolution(boolSetting(lockBorder));
    } else if (attribute == smHoldBorder) {
        rebuildAndResolution(boolSetting(holdBorder));
    } else if (attribute == smReplayScrub) {
        rebuildAndResolution(boolSetting(replayScrub));
    } else if (attribute == smFlatNotSeam) {
        rebuildAndResolution(boolSetting(flatNotSeam));
    }
    return MPxNode::setInternalValue(plug, handle);
}

// Keeps every weight array connected into inWeights as long as the new input mesh has vertices.
MStatus GradixNode::resizeConnectedWeights() {
    MStatus status;
    MFnDependencyNode self(thisMObject(), &status);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't attach Fn to 'this' object", status);
    MPlug weightsPlug = self.findPlug("inWeights", &status);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't find inWeights attribute", status);
    const bool connected = weightsPlug.isConnected(&status);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't check connections", status);
    if (!connected)
        return MStatus::kSuccess;

    MObject meshObject;
    status = MPlug(thisMObject(), smInMesh).getValue(meshObject);
    MFnMesh mesh;
    if (status)
        status = mesh.setObject(meshObject);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't get mesh data object", status);
    const int vertexCount = mesh.numVertices(&status);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't get vertex count", status);

    MPlugArray sources;
    weightsPlug.connectedTo(sources, true, false, &status);
    if (!status)
        return reportError("GradixNode::setInternalValue: Couldn't get connections", status);
    for (unsigned int i = 0; i < sources.length(); ++i) {
        MObject data;
        if (!sources[i].getValue(data))
            continue;
        MStatus attached;
        MFnDoubleArrayData array(data, &attached);
        if (attached) {
            MPlug source = sources[i];
            AddPaintableWeightsGXCommand::setArray(source, unsigned(vertexCount), 0.0);
        }
    }
    return MStatus::kSuccess;
}

// -------------------------------------------------------------------------------------------------
// Compute

MStatus GradixNode::compute(const MPlug& plug, MDataBlock& data) {
    const MObject attribute = plug.attribute();
    if (attribute == smOutUVs || attribute == smOutUVids)
        return computeUVLists(plug, data);
    if (!(attribute == smOutMesh) && !(attribute == smOutSlimInfo))
        return MStatus::kUnknownParameter;

    MStatus status = prepare(data);
    if (!status)
        return status;
    if (attribute == smOutSlimInfo)
        return computeSlimInfo(data);

    MDataHandle output = data.outputValue(smOutMesh, &status);
    if (!status)
        return status;
    if (pauseMeshUpdate || !resolutionDirty || !model || !engine) {
        // Nothing new to show (or, before any mesh was read, nothing to show at all).
        status = output.set(MObject::kNullObj);
        data.setClean(plug);
        return status;
    }
    MFnMeshData meshData;
    MObject mesh = meshData.create(&status);
    if (!status)
        return reportError("GradixNode::compute: Couldn't create mesh data object", status);
    status = updateMesh(mesh);
    if (!status)
        return reportError("GradixNode::compute: Couldn't update mesh", status);
    resolutionDirty = false;
    status = output.set(mesh);
    data.setClean(plug);
    return status;
}

MStatus GradixNode::computeSlimInfo(MDataBlock& data) {
    MStatus status;
    MDataHandle output = data.outputValue(smOutSlimInfo, &status);
    if (!status)
        return status;
    MFnPluginData pluginData;
    MObject object = pluginData.create(SlimInfoAttribute::id, &status);
    if (!status)
        return reportError("GradixNode::compute: Couldn't create SlimInfoAttribute", status);
    SlimInfoAttribute* info = static_cast<SlimInfoAttribute*>(pluginData.data(&status));
    if (!status)
        return reportError("GradixNode::compute: Couldn't access slimInfo data", status);
    if (info) {
        info->model = model.get();
        info->engine = engine.get();
        status = output.set(object);
        if (!status)
            return reportError("GradixNode::compute: Couldn't set result - slimData", status);
    }
    data.setClean(smOutSlimInfo);
    return status;
}

MStatus GradixNode::computeUVLists(const MPlug& plug, MDataBlock& data) {
    // The current model as it stands: no rebuild and no change of resolution here.
    MIntArray wedges;
    if (model) {
        const gdx::Model& m = *model;
        for (uint32_t f = 0; f < m.numFaces(); ++f)
            if (m.faceState(f).active)
                for (uint32_t i = 0; i < 3; ++i)
                    wedges.append(int(m.face(f).wedge(i)));
    }
    MStatus status;
    if (plug.attribute() == smOutUVs) {
        MDoubleArray values;
        if (model && model->numUVSets() > 0) {
            const uint32_t count = uint32_t(model->uArray(0).size());
            for (uint32_t k = 1; k < savedUVSetNames.length() && k < model->numUVSets(); ++k) {
                for (uint32_t w = 0; w < count; ++w)
                    values.append(model->uArray(k)[w]);
                for (uint32_t w = 0; w < count; ++w)
                    values.append(model->vArray(k)[w]);
            }
        }
        MDataHandle output = data.outputValue(smOutUVs, &status);
        if (!status)
            return reportError("GradixNode::compute: Couldn't create outputArray UVs", status);
        MFnDoubleArrayData arrayData;
        MObject object = arrayData.create(values, &status);
        if (!status)
            return reportError("GradixNode::compute: Couldn't create outputArray UVs MObject", status);
        status = output.set(object);
        if (!status)
            return reportError("GradixNode::compute: Couldn't create set UVs result", status);
        data.setClean(plug);
        return status;
    }
    MDataHandle output = data.outputValue(smOutUVids, &status);
    if (!status)
        return reportError("GradixNode::compute: Couldn't create outputArray UVids", status);
    MFnIntArrayData arrayData;
    MObject object = arrayData.create(wedges, &status);
    if (!status)
        return reportError("GradixNode::compute: Couldn't create outputArray UVids MObject", status);
    status = output.set(object);
    if (!status)
        return reportError("GradixNode::compute: Couldn't create set UVs result", status);
    data.setClean(plug);
    return status;
}

MStatus GradixNode::prepare(MDataBlock& data) {
    MStatus status;
    MDataHandle inputs[sizeof(kInputs) / sizeof(kInputs[0])];
    for (size_t i = 0; i < sizeof(kInputs) / sizeof(kInputs[0]); ++i) {
        inputs[i] = data.inputValue(*kInputs[i].handle, &status);
        if (!status)
            return reportError("GradixNode::compute: Couldn't get handle to input", status);
    }
    for (const AttributeSpec& entry : kEngineInputs) {
        data.inputValue(*entry.handle, &status);
        if (!status)
            return reportError("GradixNode::compute: Couldn't get handle to input", status);
    }
    if (pauseMeshUpdate)
        return MStatus::kSuccess;

    if (rebuildNeeded) {
        const MObject meshObject = inputs[0].asMesh();
        MFnMesh mesh(meshObject, &status);
        if (!status)
            return reportError("GradixNode::compute: Couldn't create fn set for source mesh", status);
        status = readSourceMesh(mesh, meshObject);
        if (!status)
            return reportError("GradixNode::compute: Couldn't clone the source mesh", status);
        buildEngine();
        resolutionDirty = weightsDirty = true;
        rebuildNeeded = false;
    }

    if (weightsDirty) {
        const MObject weightData = inputs[1].data();
        if (!weightData.isNull()) {
            MFnDoubleArrayData array(weightData, &status);
            if (!status)
                return reportError("GradixNode::compute: Couldn't get the input weights", status);
            if (model && weights && engine && array.length() == model->numVertices()) {
                for (unsigned int i = 0; i < array.length(); ++i)
                    weights->setWeight(i, float(array[i] * 100.0 + 1.0));
                engine->updatePairWeights();
                if (contractions)
                    contractions->forgetUndone();
            }
        }
        if (resolution < 100.0f && model) {
            adapt_to_target(1.0f);
            resolutionDirty = true;
        }
        weightsDirty = false;
    }

    if (resolutionDirty && model)
        adapt_to_target(resolution * 0.01f);
    return MStatus::kSuccess;
}

void GradixNode::buildEngine() {
    weights.reset(new gdx::HierarchicWeight(model->numVertices()));
    engine.reset(new gdx::QSlim(*model, *weights));
    // The node's enums number their fields in the reverse of the engine's.
    engine->placement = 2 - vertexPlacement;
    weights->setMode(2 - weightCombining);
    engine->setEdgeWeighting(2 - edgeWeights);
    engine->setBoundaryWeight(boundaryConstraint);
    engine->setDiscontinuityWeight(discontinuityConstraint);
    engine->setBlockSolve(blockSolve);
    engine->setGuards(preventFolds ? foldAngle : 0.0, keepTopology, lockBorder, holdBorder);
    engine->setReplayScrub(replayScrub);
    engine->setFacetedNotSeams(flatNotSeam);
    model->setAttributeUse(useUVs, useNormals, useVertexColors);
    model->setAttributeClamping(clampUVs, unitizeNormals, clampVertexColors);
    model->setAttributeWeights(lambdaUVs, lambdaNormals, lambdaColors);
    engine->setup();
    contractions.reset(new gdx::ContractionSequence);
    // Each contraction removes a vertex: there are never more records than vertices.
    contractions->reserve(model->numVertices());
}

void GradixNode::adapt_to_target(float fraction) {
    if (!model || !engine || !contractions)
        return;
    // Keep the objects alive for the whole change, whatever happens to the node's references.
    const boost::shared_ptr<gdx::QSlim> keepEngine = engine;
    const boost::shared_ptr<gdx::ContractionSequence> keepSequence = contractions;
    // The host is told the share of the contractions (or undos) done towards the target.
    struct Reporter : gdx::ResolutionObserver {
        MComputation computation;
        void progressed(uint32_t start, uint32_t active, uint32_t target) override {
            const uint32_t total = start > target ? start - target : target - start;
            const uint32_t done = start > active ? start - active : active - start;
            if (computation.progressMax() != int(total))
                computation.setProgressRange(0, int(total));
            computation.setProgress(int(done < total ? done : total));
        }
    } reporter;
    reporter.computation.beginComputation(false, false, false);
    if (!gdx::changeResolution(*keepEngine, *keepSequence, fraction, &reporter))
        MGlobal::displayError("GradixNode::adapt_to_target: Out of memory - couldn't change resolution");
}

MStatus GradixNode::updateMesh(MObject& meshData) {
    const gdx::Model& m = *model;
    const unsigned int faces = engine->activeFaces();
    MIntArray counts(faces, 3);
    MIntArray vertices, wedges;
    vertices.setLength(3 * faces);
    wedges.setLength(3 * faces);
    unsigned int corner = 0;
    for (uint32_t f = 0; f < m.numFaces(); ++f) {
        if (!m.faceState(f).active)
            continue;
        for (uint32_t i = 0; i < 3; ++i, ++corner) {
            vertices[corner] = int(m.face(f).vertex(i));
            wedges[corner] = int(m.face(f).wedge(i));
        }
    }

    MFloatPointArray points(m.numVertices());
    for (uint32_t v = 0; v < m.numVertices(); ++v) {
        const gdx::FloatPoint& p = m.positions()[v];
        points.set(MFloatPoint(p.x, p.y, p.z, p.w), v);
    }
    MStatus status;
    MFnMesh mesh;
    mesh.create(int(m.numVertices()), int(faces), points, counts, vertices, meshData, &status);
    if (!status)
        return reportError("GradixNode::updateMesh: Couldn't create mesh", status);

    // A source without UV sets gets none back.
    if (savedUVSetNames.length() > 0) {
        MFloatArray u(m.numWedges()), v(m.numWedges());
        for (uint32_t w = 0; w < m.numWedges(); ++w) {
            u[w] = m.firstU()[w];
            v[w] = m.firstV()[w];
        }
        status = mesh.setUVs(u, v);
        if (!status)
            return reportError("GradixNode::updateMesh: Couldn't setUVs", status);
        status = mesh.assignUVs(counts, wedges);
        if (!status)
            return reportError("GradixNode::updateMesh: Couldn't assignUVs", status);
        // The further sets are created empty, so that "EditUVs" downstream finds them by name and
        // fills them from outUVs / outUVids.
        MStringArray present;
        mesh.getUVSetNames(present);
        for (unsigned int k = 1; k < savedUVSetNames.length(); ++k) {
            bool exists = false;
            for (unsigned int i = 0; i < present.length(); ++i)
                exists = exists || present[i] == savedUVSetNames[k];
            if (!exists)
                mesh.createUVSet(savedUVSetNames[k]);
        }
    }

    if (useNormals || useVertexColors || useShaders)
        sizeFaceIndexList(faces);
    if (useNormals) {
        MVectorArray normals(3 * faces);
        for (unsigned int c = 0; c < 3 * faces; ++c) {
            const gdx::DoubleVector& n = m.normals()[unsigned(wedges[c])];
            normals.set(MVector(n.x, n.y, n.z), c);
        }
        status = mesh.setFaceVertexNormals(normals, faceIndexList(), vertices, MSpace::kObject);
        if (!status)
            return reportError("GradixNode::updateMesh: Couldn't setFaceVertexNormals", status);
    }
    if (useVertexColors) {
        MColorArray colors(3 * faces);
        for (unsigned int c = 0; c < 3 * faces; ++c) {
            const gdx::Color& col = m.colors()[unsigned(wedges[c])];
            colors.set(MColor(col.r, col.g, col.b, col.a), c);
        }
        status = mesh.setFaceVertexColors(colors, faceIndexList(), vertices);
        if (!status)
            return reportError("GradixNode::updateMesh: Couldn't setFaceVertexColors", status);
    }
    return MStatus::kSuccess;
}

// -------------------------------------------------------------------------------------------------
// Reading the source mesh

MStatus GradixNode::readSourceMesh(MFnMesh& mesh, const MObject& meshObject) {
    MStatus status;
    const int vertexCount = mesh.numVertices(&status);
    if (!status)
        return reportError("Couldn't get number of vertices", status);
    const int triangleCount = ComputeNumTriangles(mesh);
    model.reset(new gdx::Model(uint32_t(vertexCount), uint32_t(triangleCount > 0 ? triangleCount : 0)));

    MFloatPointArray points;
    status = mesh.getPoints(points, MSpace::kObject);
    if (!status)
        return reportError("Couldn't get vertex array", status);
    gdx::FloatPointArray& positions = model->positions();
    positions.resize(points.length());
    for (unsigned int i = 0; i < points.length(); ++i)
        positions[i] = gdx::FloatPoint{points[i].x, points[i].y, points[i].z, points[i].w};

    savedUVSetNames.clear();
    mesh.getUVSetNames(savedUVSetNames);
    model->setNumUVSets(savedUVSetNames.length());
    MGlobal::displayInfo("Saved uvSets:");
    for (unsigned int i = 0; i < savedUVSetNames.length(); ++i)
        MGlobal::displayInfo(savedUVSetNames[i]);

    status = triangulate(meshObject, &GradixNode::addFace);
    if (!status)
        return reportError("Couldn't triangulate geometry", status);
    model->splitDisconnectedWedges();
    return MStatus::kSuccess;
}

MStatus GradixNode::triangulate(const MObject& meshObject, Worker worker) {
    gWarnNormals = gWarnColors = gWarnUVs = true;
    MStatus status;
    MItMeshPolygon polygon(meshObject, &status);
    if (!status)
        return reportError("GradixNode::triangulate: polyIterator constructor failed.", status);
    const unsigned int count = polygon.count(&status);
    if (!status)
        return reportError("GradixNode::triangulate: polyIterator.count() failed.", status);
    status = polygon.reset();
    if (!status)
        return reportError("GradixNode::triangulate: polyIterator.reset() failed.", status);

    MPointArray corners, triangle;
    MIntArray triangleVertices;
    CornerLookup cornerAt;
    for (unsigned int p = 0; p < count; ++p) {
        const unsigned int cornerCount = polygon.polygonVertexCount(&status);
        if (!status)
            return reportError("GradixNode::triangulate: polyIterator.polygonVertexCount failed.", status);
        polygon.zeroArea(&status); // answered, but zero-area polygons are kept
        if (!status)
            return reportError("GradixNode::triangulate: polyIterator.zeroArea failed.", status);
        const bool valid = polygon.hasValidTriangulation(&status);
        if (!status)
            return reportError("GradixNode::triangulate: polyIterator.hasValidTriangulation failed.", status);

        if (valid) {
            corners.setLength(cornerCount);
            for (unsigned int i = 0; i < cornerCount; ++i) {
                corners[i] = polygon.point(int(i), MSpace::kObject, &status);
                if (!status)
                    return reportError("GradixNode::triangulate: polyIterator.point failed.", status);
            }
            cornerAt.index(corners);
            int triangles = 0;
            status = polygon.numTriangles(triangles);
            if (!status)
                return reportError("GradixNode::triangulate: polyIterator.numTriangles failed.", status);
            for (int t = 0; t < triangles; ++t) {
                status = polygon.getTriangle(t, triangle, triangleVertices, MSpace::kObject);
                if (!status)
                    return reportError("GradixNode::triangulate: polyIterator.getTriangle failed.", status);
                int local[3];
                for (unsigned int j = 0; j < 3; ++j)
                    local[j] = cornerAt.find(corners, triangle[j]);
                status = (this->*worker)(triangleVertices, polygon, local);
                if (!status)
                    return reportError("GradixNode::triangulate: worker function failed.", status);
            }
        } else {
            MGlobal::displayWarning("Invalid polygons in source mesh");
        }
        status = polygon.next();
        if (!status)
            return reportError("GradixNode::triangulate: polyIterator.next failed.", status);
    }
    return MStatus::kSuccess;
}

MStatus GradixNode::addFace(const MIntArray&, MItMeshPolygon& polygon, const int* corners) {
    uint32_t vertex[3], wedge[3];
    MStatus status;
    for (unsigned int j = 0; j < 3; ++j) {
        const int v = polygon.vertexIndex(corners[j], &status);
        if (status && corners[j] < 0)
            status = MStatus::kInvalidParameter; // no polygon corner at this position
        if (!status)
            return reportError("GradixNode::addFace: Couldn't get vertex index", status);
        vertex[j] = uint32_t(v);

        MVector normal(0.0, 0.0, 0.0);
        if (!polygon.getNormal(unsigned(corners[j]), normal, MSpace::kObject)) {
            normal = MVector(0.0, 0.0, 0.0);
            if (gWarnNormals) {
                gWarnNormals = false;
                MGlobal::displayWarning("Not all faces/vertices have normals set");
            }
        }
        MColor color;
        if (!polygon.getColor(color, corners[j]) && gWarnColors) {
            gWarnColors = false;
            MGlobal::displayWarning("Not all faces/vertices have colors set");
        }
        uvList_.clear();
        for (unsigned int k = 0; k < savedUVSetNames.length(); ++k) {
            float2 uv = {0.0f, 0.0f};
            if (polygon.getUV(corners[j], uv, &savedUVSetNames[k])) {
                uvList_.push_back(uv[0]);
                uvList_.push_back(uv[1]);
            } else {
                uvList_.push_back(0.0f);
                uvList_.push_back(0.0f);
                if (gWarnUVs) {
                    gWarnUVs = false;
                    MGlobal::displayWarning("Not all faces/vertices have UVs set");
                }
            }
        }
        wedge[j] = model->addWedge(vertex[j], gdx::DoubleVector{normal.x, normal.y, normal.z},
                                   gdx::Color{color.r, color.g, color.b, color.a}, uvList_);
    }
    model->addFace(vertex[0], vertex[1], vertex[2], wedge[0], wedge[1], wedge[2], true);
    return MStatus::kSuccess;
}
