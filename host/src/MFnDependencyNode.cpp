#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>

using namespace gxhost;

MStatus MFnDependencyNode::setObject(const MObject& node) {
    return attach("MFnDependencyNode::setObject", asNode(node), obj_, node);
}

MObject MFnDependencyNode::create(const MString& typeName, const MString& name, MStatus* ReturnStatus) {
    MStatus status;
    if (fault("MFnDependencyNode::create", ReturnStatus))
        return MObject();
    auto node = Scene::get().createNode(typeName.str(), name.str(), status);
    setStatus(ReturnStatus, status);
    if (!node)
        return MObject();
    obj_ = MObject(node);
    return obj_;
}

MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus, [](auto& n) { return MString(n.name); });
}

MString MFnDependencyNode::setName(const MString& name, MStatus* ReturnStatus) {
    Node* node = asNode(obj_);
    if (!node || name.isEmpty()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MString();
    }
    if (node->name != name.str())
        node->name = Scene::get().uniqueName(name.str());
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MString(node->name);
}

MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus, [](auto& n) { return MString(n.type->name); });
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus, [](auto& n) { return n.type->id; });
}

MPxNode* MFnDependencyNode::userNode(MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus, [](auto& n) { return n.user; });
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const {
    if (fault("MFnDependencyNode::findPlug", ReturnStatus))
        return MPlug();
    Node* node = asNode(obj_);
    int index = node ? node->attributeIndex(attrName.str()) : -1;
    if (index < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlug(obj_, MObject(node->attrs[index]));
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const {
    return findPlug(attrName, ReturnStatus);
}

MPlug MFnDependencyNode::findPlug(const MObject& attribute, MStatus* ReturnStatus) const {
    if (fault("MFnDependencyNode::findPlug", ReturnStatus))
        return MPlug();
    Node* node = asNode(obj_);
    auto attr = asAttribute(attribute);
    int index = node && attr ? node->attributeIndex(attr.get()) : -1;
    if (index < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlug(obj_, attribute);
}

MPlug MFnDependencyNode::findPlug(const MObject& attribute, bool, MStatus* ReturnStatus) const {
    return findPlug(attribute, ReturnStatus);
}

unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus,
                    [](auto& n) { return static_cast<unsigned int>(n.attrs.size()); });
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const {
    Node* node = asNode(obj_);
    bool ok = node && index < node->attrs.size();
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok ? MObject(node->attrs[index]) : MObject();
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const {
    Node* node = asNode(obj_);
    int index = node ? node->attributeIndex(attrName.str()) : -1;
    setStatus(ReturnStatus, index >= 0 ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return index >= 0 ? MObject(node->attrs[index]) : MObject();
}

bool MFnDependencyNode::hasAttribute(const MString& attrName, MStatus* ReturnStatus) const {
    return readFrom(asNode(obj_), ReturnStatus,
                    [&](auto& n) { return n.attributeIndex(attrName.str()) >= 0; });
}

MStatus MFnDependencyNode::addAttribute(const MObject& attribute, MAttrClass) {
    MStatus status;
    if (fault("MFnDependencyNode::addAttribute", &status))
        return status;
    Node* node = asNode(obj_);
    auto attr = asAttribute(attribute);
    if (!node || !attr)
        return MStatus::kInvalidParameter;
    return Scene::get().addDynamicAttribute(node, attr);
}

MStatus MFnDependencyNode::removeAttribute(const MObject&, MAttrClass) {
    return MStatus::kNotImplemented;
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    Node* node = asNode(obj_);
    if (!node)
        return MStatus::kInvalidParameter;
    for (size_t i = 0; i < node->slots.size(); ++i)
        if (!node->slots[i].source.node.expired() || !node->slots[i].destinations.empty())
            array.append(MPlug(obj_, MObject(node->attrs[i])));
    return MStatus::kSuccess;
}

bool MFnDependencyNode::isNewAttribute(const MObject& attribute, MStatus* ReturnStatus) const {
    Node* node = asNode(obj_);
    auto attr = asAttribute(attribute);
    int index = node && attr ? node->attributeIndex(attr.get()) : -1;
    setStatus(ReturnStatus, index >= 0 ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return index >= static_cast<int>(node ? node->type->attributes.size() : 0);
}
