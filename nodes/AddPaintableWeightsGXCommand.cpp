#include "AddPaintableWeightsGXCommand.h"

#include "Helpers.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

static FileVersion
    fileVersion_AddPaintableWeightsGXCommand_cpp("$RCSfile: AddPaintableWeightsGXCommand.cpp,v $",
                                                 "$Revision: 1.1 $", "$Date: 2026/12/05 19:45:00 $",
                                                 "Last modified by $Author: gradix $");

void* AddPaintableWeightsGXCommand::creator() {
    return new AddPaintableWeightsGXCommand;
}

MStatus AddPaintableWeightsGXCommand::doIt(const MArgList& args) {
    MStatus nameStatus, weightStatus;
    MString name;
    double weightArgument = 0.0;
    if (args.length() == 2) {
        name = args.asString(0, &nameStatus);
        weightArgument = args.asDouble(1, &weightStatus);
    }
    if (args.length() != 2 || !nameStatus || !weightStatus) {
        MGlobal::displayError("Usage: AddPaintableWeightsGX MeshNode Weight");
        return MStatus::kFailure;
    }
    const float weight = float(weightArgument);

    MSelectionList selection;
    selection.clear();
    MObject node;
    if (!selection.add(name) || !selection.getDependNode(0, node))
        return reportError(MString("AddPaintableWeightsGXCommand::doIt: Node ") + name + " not found",
                           MStatus::kFailure);

    MStatus status;
    MFnMesh mesh(node, &status);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::doIt: Couldn't create MFnMesh", status);
    MFnTypedAttribute typed;
    MObject attribute =
        typed.create("gradixWeights", "gxw", MFnData::kDoubleArray, MObject::kNullObj, &status);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::doIt: Couldn't create Attribute", status);
    typed.setKeyable(true);
    MFnDependencyNode dependencyNode(node);
    status = dependencyNode.addAttribute(attribute, MFnDependencyNode::MAttrClass(2));
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::doIt: Couldn't attach Attribute", status);
    MPlug plug = dependencyNode.findPlug("gradixWeights", &status);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::doIt: Couldn't find plug to attribute", status);
    return setArray(plug, unsigned(mesh.numVertices()), weight);
}

MStatus AddPaintableWeightsGXCommand::setArray(MPlug& plug, unsigned int count, double value) {
    MObject data;
    MStatus status = plug.getValue(data);
    if (!status && !data.isNull())
        return reportError("AddPaintableWeightsGXCommand::setArray: Couldn't get dataObject from Plug",
                           status);

    MFnDoubleArrayData arrayData;
    if (data.isNull()) {
        data = arrayData.create(&status);
        if (!status)
            return reportError("AddPaintableWeightsGXCommand::setArray: Couldn't create DoubleArrayData",
                               status);
    } else {
        status = arrayData.setObject(data);
        if (!status)
            return reportError(
                "AddPaintableWeightsGXCommand::setArray: Couldn't get attach DoubleArrayData function "
                "set to data object",
                status);
    }
    const unsigned int length = arrayData.length(&status);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::setArray: Error getting array length", status);
    if (length == count)
        return MStatus::kSuccess;

    MDoubleArray values;
    for (unsigned int i = 0; i < count && i < length; ++i)
        values.append(arrayData[i]);
    while (values.length() < count)
        values.append(value);
    status = arrayData.set(values);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::setArray: Couldn't set DoubleArrayData", status);
    status = plug.setValue(data);
    if (!status)
        return reportError("AddPaintableWeightsGXCommand::setArray: Couldn't get dataObject from Plug",
                           status);
    return MStatus::kSuccess;
}
