// MFnDependencyNode: name, type, attributes and plugs of a dependency node.
#pragma once

#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MPxNode;
class MPlugArray;

class MFnDependencyNode : public MFnBase {
public:
    enum MAttrClass { kLocalDynamicAttr = 1, kNormalAttr = 2, kExtensionAttr = 3, kInvalidAttr = 4 };

    GX_ATTACHING_FUNCTION_SET(MFnDependencyNode, MFn::kDependencyNode)

    // Creates a node of a registered type (and gives it a unique name based on `name` or the type).
    MObject create(const MString& typeName, const MString& name = MString(), MStatus* ReturnStatus = nullptr);

    MString name(MStatus* ReturnStatus = nullptr) const;
    MString setName(const MString& name, MStatus* ReturnStatus = nullptr);
    MString typeName(MStatus* ReturnStatus = nullptr) const;
    MTypeId typeId(MStatus* ReturnStatus = nullptr) const;
    MPxNode* userNode(MStatus* ReturnStatus = nullptr) const;

    // Finds a plug by long or short attribute name.
    MPlug findPlug(const MString& attrName, MStatus* ReturnStatus = nullptr) const;
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug, MStatus* ReturnStatus = nullptr) const;
    MPlug findPlug(const MObject& attribute, MStatus* ReturnStatus = nullptr) const;
    MPlug findPlug(const MObject& attribute, bool wantNetworkedPlug, MStatus* ReturnStatus = nullptr) const;

    unsigned int attributeCount(MStatus* ReturnStatus = nullptr) const;
    MObject attribute(unsigned int index, MStatus* ReturnStatus = nullptr) const;
    MObject attribute(const MString& attrName, MStatus* ReturnStatus = nullptr) const;
    bool hasAttribute(const MString& attrName, MStatus* ReturnStatus = nullptr) const;
    // Adds a dynamic attribute to this node only.
    MStatus addAttribute(const MObject& attribute, MAttrClass type = kLocalDynamicAttr);
    MStatus removeAttribute(const MObject& attribute, MAttrClass type = kLocalDynamicAttr);
    MStatus getConnections(MPlugArray& array) const;
    bool isNewAttribute(const MObject& attribute, MStatus* ReturnStatus = nullptr) const;
};
