// MFnPlugin: the plug-in object the host passes to initializePlugin/uninitializePlugin; registers and
// deregisters data types, nodes, shapes and commands.
//
// A plug-in library defines (with C linkage):
//   MStatus initializePlugin(MObject obj);     MStatus uninitializePlugin(MObject obj);
//   const char MApiVersion[] = "...";
#pragma once

#include <maya/MFnBase.h>
#include <maya/MPxData.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MPxCommand;
class MSyntax;

typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();
typedef MSyntax (*MCreateSyntaxFunction)();

extern "C" {
MStatus initializePlugin(MObject obj);
MStatus uninitializePlugin(MObject obj);
extern const char MApiVersion[];
}

class MFnPlugin : public MFnBase {
public:
    GX_FUNCTION_SET(MFnPlugin, MFn::kPlugin)
    MFnPlugin(const MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = nullptr);

    MString vendor(MStatus* ReturnStatus = nullptr) const;
    MString version(MStatus* ReturnStatus = nullptr) const;
    MString apiVersion(MStatus* ReturnStatus = nullptr) const;
    MString name(MStatus* ReturnStatus = nullptr) const;
    MString loadPath(MStatus* ReturnStatus = nullptr) const;

    MStatus registerData(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                         MPxData::Type type = MPxData::kData);
    MStatus registerNode(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                         MInitializeFunction initFunction, MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus registerShape(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                          MInitializeFunction initFunction, MCreatorFunction uiCreatorFunction,
                          const MString* classification = nullptr);
    MStatus registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                            MCreateSyntaxFunction createSyntaxFunction = nullptr);
    MStatus deregisterData(const MTypeId& typeId);
    MStatus deregisterNode(const MTypeId& typeId);
    MStatus deregisterCommand(const MString& commandName);
};
