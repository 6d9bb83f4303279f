#include "EditUVsNode.h"

#include "Helpers.h"

#include <maya/MDataBlock.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include <iostream>

static FileVersion fileVersion_EditUVsNode_cpp("$RCSfile: EditUVsNode.cpp,v $", "$Revision: 1.1 $",
                                               "$Date: 2026/12/05 19:45:00 $",
                                               "Last modified by $Author: gradix $");

const MTypeId EditUVsNode::id(0xF21057F0);
MObject EditUVsNode::smInMesh, EditUVsNode::smInUVs, EditUVsNode::smInUVids, EditUVsNode::smOutMesh;

void* EditUVsNode::creator() {
    return new EditUVsNode;
}

MStatus EditUVsNode::initialize() {
    MFnTypedAttribute typed;
    MStatus status;

    smInMesh = typed.create("inMesh", "in", MFnData::kMesh, MObject::kNullObj, &status);
    if (!status)
        return reportError("EditUVsNode::initialize:Couldn't create attribute 'inMesh'", status);
    typed.setReadable(false);
    typed.setWritable(true);
    typed.setStorable(true);
    typed.setKeyable(true);
    typed.setInternal(true);

    smInUVs = typed.create("inUVs", "inUV", MFnData::kDoubleArray, MObject::kNullObj, &status);
    if (!status)
        return reportError("EditUVsNode::initialize:Couldn't create attribute 'inUVs'", status);
    typed.setReadable(false);
    typed.setWritable(true);
    typed.setStorable(true);

    smInUVids = typed.create("inUVids", "inUVid", MFnData::kIntArray, MObject::kNullObj, &status);
    if (!status)
        return reportError("EditUVsNode::initialize:Couldn't create attribute 'inUVids'", status);
    typed.setReadable(false);
    typed.setWritable(true);
    typed.setStorable(true);

    smOutMesh = typed.create("outMesh", "out", MFnData::kMesh, MObject::kNullObj, &status);
    if (!status)
        return reportError("EditUVsNode::initialize: Couldn't create attribute 'outMesh'", status);
    typed.setReadable(true);
    typed.setWritable(false);
    typed.setStorable(false);

    const struct {
        const MObject& attribute;
        const char* message;
    } additions[] = {
        {smInMesh, "EditUVsNode::initialize: Couldn't addAttribute 'smInMesh'"},
        {smInUVs, "EditUVsNode::initialize: Couldn't addAttribute 'smInUVs'"},
        {smInUVids, "EditUVsNode::initialize: Couldn't addAttribute 'smInUVids'"},
        {smOutMesh, "EditUVsNode::initialize: Couldn't addAttribute 'smOutMesh'"},
    };
    for (const auto& addition : additions)
        if (!(status = addAttribute(addition.attribute)))
            return reportError(addition.message, status);

    const struct {
        const MObject& input;
        const char* message;
    } affects[] = {
        {smInMesh, "EditUVsNode::initialize: attributeAffects 'smInMesh -> smOutMesh' failed"},
        {smInUVs, "EditUVsNode::initialize: attributeAffects 'smInUVs -> smOutMesh' failed"},
        {smInUVids, "EditUVsNode::initialize: attributeAffects 'smInUVids -> smOutMesh' failed"},
    };
    for (const auto& affect : affects)
        if (!(status = attributeAffects(affect.input, smOutMesh)))
            return reportError(affect.message, status);
    return MStatus::kSuccess;
}

MStatus EditUVsNode::compute(const MPlug& plug, MDataBlock& data) {
    if (!(plug.attribute() == smOutMesh))
        return MStatus::kUnknownParameter;

    MStatus status;
    MDataHandle input = data.inputValue(smInMesh, &status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create mesh input handle", status);
    MDataHandle output = data.outputValue(smOutMesh, &status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create mesh output handle", status);

    const MObject source = input.asMesh();
    MFnMeshData meshData;
    MObject copy = meshData.create(&status);
    MFnMesh mesh;
    if (status)
        mesh.copy(source, copy, &status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't copy mesh output", status);
    status = mesh.setObject(copy);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't copy mesh output", status);

    MFnMesh sourceMesh(source);
    MStringArray setNames;
    sourceMesh.getUVSetNames(setNames);

    MFnDoubleArrayData uvsData(data.inputValue(smInUVs).data(), &status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create UVsFn", status);
    const MDoubleArray uvs = uvsData.array(&status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create UVsFnArray", status);
    MFnIntArrayData idsData(data.inputValue(smInUVids).data(), &status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create UVidsFn", status);
    const MIntArray ids = idsData.array(&status);
    if (!status)
        return reportError("EditUVsNode::compute: Couldn't create UVidsFnArray", status);

    const unsigned int n = unsigned(sourceMesh.numUVs()), span = 2 * n;
    if (span == 0 ? uvs.length() > 0 : uvs.length() % span != 0)
        std::cout << "Expected:" << span << "Found:" << uvs.length() << std::endl;

    // Each further set needs its full span of values; a set the list does not reach (or a mesh
    // without UVs in its current set) is left as the copy has it.
    const MIntArray counts(unsigned(mesh.numPolygons()), 3);
    unsigned int offset = 0;
    for (unsigned int k = 1; k < setNames.length() && span > 0 && offset + span <= uvs.length(); ++k) {
        MFloatArray u(n), v(n);
        for (unsigned int i = 0; i < n; ++i) {
            u[i] = float(uvs[offset + i]);
            v[i] = float(uvs[offset + n + i]);
        }
        status = mesh.setUVs(u, v, &setNames[k]);
        if (!status)
            return reportError("EditUVsNode::updateUVs: Couldn't setUVs", status);
        status = mesh.assignUVs(counts, ids, &setNames[k]);
        if (!status)
            return reportError("EditUVsNode::updateMesh: Couldn't assignUVs", status);
        offset += span;
    }

    status = output.set(copy);
    data.setClean(plug);
    return status;
}
