#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MPxNode.h>
#include <maya/MPxSurfaceShape.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <algorithm>

using namespace gxhost;

MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}

bool MPxNode::getInternalValue(const MPlug&, MDataHandle&) {
    return false;
}

bool MPxNode::setInternalValue(const MPlug&, const MDataHandle&) {
    return false;
}

MObject MPxNode::thisMObject() const {
    return node_ ? MObject(node_->shared_from_this()) : MObject();
}

MString MPxNode::name() const {
    return node_ ? MString(node_->name) : MString();
}

MTypeId MPxNode::typeId() const {
    return node_ ? node_->type->id : MTypeId();
}

MString MPxNode::typeName() const {
    return node_ ? MString(node_->type->name) : MString();
}

MStatus MPxNode::addAttribute(const MObject& attribute) {
    MStatus status;
    if (fault("MPxNode::addAttribute", &status))
        return status;
    NodeType* type = Scene::get().typeUnderInit;
    auto attr = asAttribute(attribute);
    if (!type || !attr || attr->added)
        return MStatus::kInvalidParameter;
    for (auto& a : type->attributes)
        if (a->longName == attr->longName || a->shortName == attr->shortName)
            return MStatus::kInvalidParameter;
    attr->added = true;
    type->attributes.push_back(attr);
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    MStatus status;
    if (fault("MPxNode::attributeAffects", &status))
        return status;
    NodeType* type = Scene::get().typeUnderInit;
    auto from = asAttribute(whenChanges), to = asAttribute(isAffected);
    if (!type || !from || !to)
        return MStatus::kInvalidParameter;
    auto index = [&](const Attribute* a) {
        auto it = std::find_if(type->attributes.begin(), type->attributes.end(),
                               [&](const auto& p) { return p.get() == a; });
        return it == type->attributes.end() ? -1 : static_cast<int>(it - type->attributes.begin());
    };
    int f = index(from.get()), t = index(to.get());
    if (f < 0 || t < 0)
        return MStatus::kInvalidParameter;
    auto& list = type->affects[f];
    if (std::find(list.begin(), list.end(), t) == list.end())
        list.push_back(t);
    return MStatus::kSuccess;
}

MStatus MPxSurfaceShape::setRenderable(bool renderable) {
    renderable_ = renderable;
    return MStatus::kSuccess;
}

void MPxSurfaceShapeUI::getDrawRequests(const MDrawInfo&, bool, MDrawRequestQueue&) {}

void MPxSurfaceShapeUI::draw(const MDrawRequest&, M3dView&) const {}

bool MPxSurfaceShapeUI::select(MSelectInfo&, MSelectionList&, MPointArray&) const {
    return false;
}
