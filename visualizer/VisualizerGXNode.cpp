#include "VisualizerGXNode.h"

#include "Helpers.h"
#include "SlimInfoAttribute.h"

#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>

static FileVersion fileVersion_VisualizerGXNode_cpp("$RCSfile: VisualizerGXNode.cpp,v $", "$Revision: 1.1 $",
                                                    "$Date: 2026/12/05 20:00:00 $",
                                                    "Last modified by $Author: gradix $");

const MTypeId VisualizerGXNode::id(0x001057F1);
MObject VisualizerGXNode::smInSlimInfo, VisualizerGXNode::smInMesh, VisualizerGXNode::smMethod,
    VisualizerGXNode::smRange, VisualizerGXNode::smDeadFactor, VisualizerGXNode::smModifiedFactor,
    VisualizerGXNode::smThreshold, VisualizerGXNode::smUpperBound, VisualizerGXNode::smFunction,
    VisualizerGXNode::smBlendFunction;

namespace {

const char* const kPrefix = "VisualizerGXNode::initialize: ";

MStatus fail(const char* what, const char* name, MStatus status) {
    return reportError(MString(kPrefix) + what + " '" + name + "'", status);
}

// Readable, writable, storable, keyable, internal: the host's answers are not needed.
void setFlags(MFnAttribute& fn, bool r, bool w, bool s, bool k, bool i) {
    fn.setReadable(r);
    fn.setWritable(w);
    fn.setStorable(s);
    fn.setKeyable(k);
    fn.setInternal(i);
}

// An enum setting with two fields; `reportedName` is how failures name the attribute.
MStatus createEnum(MFnEnumAttribute& fn, MObject& attribute, const char* longName, const char* shortName,
                   const char* reportedName, const char* field0, const char* field1) {
    MStatus status;
    attribute = fn.create(longName, shortName, 0, &status);
    if (!status)
        return fail("Couldn't create attribute", reportedName, status);
    setFlags(fn, true, true, true, true, false);
    const char* fields[2] = {field0, field1};
    for (short value = 0; value < 2; ++value)
        if (!(status = fn.addField(fields[value], value)))
            return fail("Couldn't addField", (MString(reportedName) + "::" + fields[value]).asChar(), status);
    return MStatus::kSuccess;
}

} // namespace

void* VisualizerGXNode::creator() {
    return new VisualizerGXNode;
}

void VisualizerGXNode::postConstructor() {
    setRenderable(true);
}

MStatus VisualizerGXNode::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}

MStatus VisualizerGXNode::initialize() {
    MFnTypedAttribute typed;
    MFnNumericAttribute numeric;
    MFnEnumAttribute enumeration;
    MStatus status;

    smInSlimInfo = typed.create("inSlimInfo", "isi", SlimInfoAttribute::id, MObject::kNullObj, &status);
    if (!status)
        return fail("Couldn't create attribute", "inSlimInfo", status);
    setFlags(typed, false, true, false, false, false);

    smInMesh = typed.create("inMesh", "in", MFnData::kMesh, MObject::kNullObj, &status);
    if (!status)
        return fail("Couldn't create attribute", "inMesh", status);
    setFlags(typed, false, true, true, false, false);

    const struct {
        MObject& attribute;
        const char* longName;
        const char* shortName;
        float defaultValue;
    } floats[] = {
        {smRange, "range", "rng", 0.2f},
        {smDeadFactor, "deadFactor", "df", 1.0f},
        {smModifiedFactor, "modifiedFactor", "mf", 0.5f},
        {smThreshold, "threshold", "thr", 0.15f},
        {smUpperBound, "upperBound", "upb", 0.9f},
    };
    for (const auto& f : floats) {
        f.attribute =
            numeric.create(f.longName, f.shortName, MFnNumericData::kFloat, f.defaultValue, &status);
        if (!status)
            return fail("Couldn't create attribute", f.longName, status);
        setFlags(numeric, true, true, true, true, false);
    }

    if (!(status = createEnum(enumeration, smMethod, "method", "mtd", "method", "faces", "lines")))
        return status;
    if (!(status = createEnum(enumeration, smFunction, "function", "f", "function", "cosinus", "linear")))
        return status;
    // Failures of this one name it with a capital B.
    if (!(status = createEnum(enumeration, smBlendFunction, "blendFunction", "bf", "BlendFunction", "stipple",
                              "alpha")))
        return status;

    const struct {
        const MObject& attribute;
        const char* name;
    } additions[] = {
        {smInSlimInfo, "smInSlimInfo"}, {smInMesh, "smInMesh"},
        {smMethod, "smMethod"},         {smRange, "smRange"},
        {smDeadFactor, "smDeadFactor"}, {smModifiedFactor, "smModifiedFactor"},
        {smThreshold, "smThreshold"},   {smUpperBound, "smUpperBound"},
        {smFunction, "smFunction"},     {smBlendFunction, "smBlendFunction"},
    };
    for (const auto& addition : additions)
        if (!(status = addAttribute(addition.attribute)))
            return fail("Couldn't addAttribute", addition.name, status);
    return MStatus::kSuccess;
}
