// A plug-in library holding the node layer on its own (data type, "Gradix", "EditUVs" and the
// weights command), registered the same way the product plug-in registers them.
#include "AddPaintableWeightsGXCommand.h"
#include "EditUVsNode.h"
#include "GradixNode.h"
#include "SlimInfoAttribute.h"

#include <maya/MFnPlugin.h>

extern "C" const char MApiVersion[] = "450";

MStatus initializePlugin(MObject object) {
    MFnPlugin plugin(object, "Gradix", "1.0", "Any");
    MStatus status =
        plugin.registerData("SlimInfoAttributeGX", SlimInfoAttribute::id, SlimInfoAttribute::creator);
    if (status)
        status = plugin.registerNode("Gradix", GradixNode::id, GradixNode::creator, GradixNode::initialize);
    if (status)
        status =
            plugin.registerNode("EditUVs", EditUVsNode::id, EditUVsNode::creator, EditUVsNode::initialize);
    if (status)
        status = plugin.registerCommand("addPaintableWeightsGX", AddPaintableWeightsGXCommand::creator);
    return status;
}

MStatus uninitializePlugin(MObject object) {
    MFnPlugin plugin(object);
    plugin.deregisterCommand("addPaintableWeightsGX");
    plugin.deregisterNode(EditUVsNode::id);
    plugin.deregisterNode(GradixNode::id);
    plugin.deregisterData(SlimInfoAttribute::id);
    return MStatus::kSuccess;
}
