#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MDataBlock.h>

using namespace gxhost;

namespace {

// The index of `attribute` on `node` for the operation `op`, which may be made to fail first; -1 when
// it fails or the node has no such attribute, with the status set.
int attributeIndex(Node* node, const MObject& attribute, const char* op, MStatus* ReturnStatus) {
    if (fault(op, ReturnStatus))
        return -1;
    auto attr = asAttribute(attribute);
    int index = node && attr ? node->attributeIndex(attr.get()) : -1;
    setStatus(ReturnStatus, index < 0 ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return index;
}

} // namespace

MDataHandle MDataBlock::input(const MObject& attribute, const char* op, MStatus* ReturnStatus) {
    int index = attributeIndex(node_, attribute, op, ReturnStatus);
    if (index < 0)
        return MDataHandle();
    // Pulls a connected value (delivering it to setInternalValue) or computes a dirty attribute.
    setStatus(ReturnStatus, Scene::get().evaluate(node_, index));
    return MDataHandle(node_, index);
}

MDataHandle MDataBlock::output(const MObject& attribute, const char* op, MStatus* ReturnStatus) {
    int index = attributeIndex(node_, attribute, op, ReturnStatus);
    return index < 0 ? MDataHandle() : MDataHandle(node_, index);
}

MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* ReturnStatus) {
    return input(plug.attribute(), "MDataBlock::inputValue", ReturnStatus);
}
MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* ReturnStatus) {
    return input(attribute, "MDataBlock::inputValue", ReturnStatus);
}
MDataHandle MDataBlock::outputValue(const MPlug& plug, MStatus* ReturnStatus) {
    return output(plug.attribute(), "MDataBlock::outputValue", ReturnStatus);
}
MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* ReturnStatus) {
    return output(attribute, "MDataBlock::outputValue", ReturnStatus);
}

MStatus MDataBlock::setClean(const MPlug& plug) {
    return setClean(plug.attribute());
}

MStatus MDataBlock::setClean(const MObject& attribute) {
    auto attr = asAttribute(attribute);
    int index = node_ && attr ? node_->attributeIndex(attr.get()) : -1;
    if (index < 0)
        return MStatus::kInvalidParameter;
    node_->slots[index].dirty = false;
    return MStatus::kSuccess;
}

bool MDataBlock::isClean(const MObject& attribute, MStatus* ReturnStatus) {
    auto attr = asAttribute(attribute);
    int index = node_ && attr ? node_->attributeIndex(attr.get()) : -1;
    setStatus(ReturnStatus, index < 0 ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return index >= 0 && !node_->slots[index].dirty;
}

bool MDataBlock::isClean(const MPlug& plug) {
    return isClean(plug.attribute());
}
