// The plug-in library's entry points: initializePlugin registers the data type, the three node
// types and the two commands, stopping at the first failure (what was registered stays);
// uninitializePlugin removes them, the data type last, after every node whose attributes use it.
#include "AddPaintableWeightsGXCommand.h"
#include "EditUVsNode.h"
#include "GradixNode.h"
#include "Helpers.h"
#include "SetupShadersCommand.h"
#include "SlimInfoAttribute.h"
#include "VisualizerGXNode.h"
#include "VisualizerGXUINode.h"

#include <maya/MFnPlugin.h>

static FileVersion fileVersion_PluginMain_cpp("$RCSfile: PluginMain.cpp,v $", "$Revision: 1.1 $",
                                              "$Date: 2026/12/05 20:00:00 $",
                                              "Last modified by $Author: gradix $");

extern "C" const char MApiVersion[] = "450";

MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Gradix developers", "0.6.5", "Any");
    MStatus status;

    status = plugin.registerData(SlimInfoAttribute::typeName, SlimInfoAttribute::id,
                                 SlimInfoAttribute::creator, MPxData::kData);
    if (!status)
        return reportError("registerData - SlimInfo", status);
    status = plugin.registerNode("Gradix", GradixNode::id, GradixNode::creator, GradixNode::initialize,
                                 MPxNode::kDependNode);
    if (!status)
        return reportError("registerNode - Gradix", status);
    status = plugin.registerNode("EditUVs", EditUVsNode::id, EditUVsNode::creator, EditUVsNode::initialize,
                                 MPxNode::kDependNode);
    if (!status)
        return reportError("registerNode - EditUVs", status);
    status = plugin.registerShape("VisualizerGX", VisualizerGXNode::id, VisualizerGXNode::creator,
                                  VisualizerGXNode::initialize, VisualizerGXUINode::creator);
    if (!status)
        return reportError("registerNode - VisualizerGX", status);
    status = plugin.registerCommand("addPaintableWeightsGX", AddPaintableWeightsGXCommand::creator);
    if (!status)
        return reportError("registerCommand - addPaintableWeightsGX", status);
    status = plugin.registerCommand("setupShaders", SetupShadersCommand::creator);
    if (!status)
        return reportError("registerCommand - setupShaders", status);
    return status;
}

MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    MStatus status;

    status = plugin.deregisterNode(GradixNode::id);
    if (!status)
        return reportError("deregisterNode - Gradix", status);
    status = plugin.deregisterNode(EditUVsNode::id);
    if (!status)
        return reportError("deregisterNode - EditUVs", status);
    status = plugin.deregisterNode(VisualizerGXNode::id);
    if (!status)
        return reportError("deregisterNode - VisualizerGX", status);
    status = plugin.deregisterCommand("addPaintableWeightsGX");
    if (!status)
        return reportError("deregisterCommand - addPaintableWeightsGX", status);
    status = plugin.deregisterCommand("setupShaders");
    if (!status)
        return reportError("deregisterCommand - setupShaders", status);
    status = plugin.deregisterData(SlimInfoAttribute::id);
    if (!status)
        return reportError("deregisterData - SlimInfo", status);
    return status;
}
