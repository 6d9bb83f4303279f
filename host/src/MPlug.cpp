#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

using namespace gxhost;

namespace {

// The node and attribute index of a plug, or null when the plug does not resolve.
Node* resolve(const MObject& nodeObj, const MObject& attrObj, int& index) {
    Node* node = asNode(nodeObj);
    auto attr = asAttribute(attrObj);
    if (!node || !attr)
        return nullptr;
    index = node->attributeIndex(attr.get());
    return index < 0 ? nullptr : node;
}

template <typename T> MStatus readNumber(const MObject& n, const MObject& a, T& out, const char* op) {
    MStatus status;
    if (fault(op, &status))
        return status;
    int index;
    Node* node = resolve(n, a, index);
    if (!node)
        return MStatus::kInvalidParameter;
    if (node->attrs[index]->kind == Attribute::Kind::Typed)
        return MStatus::kInvalidParameter;
    Value v;
    status = Scene::get().readValue(node, index, v);
    out = static_cast<T>(v.number);
    return status;
}

MStatus writeNumber(const MObject& n, const MObject& a, double value) {
    MStatus status;
    if (fault("MPlug::setValue", &status))
        return status;
    int index;
    Node* node = resolve(n, a, index);
    if (!node || node->attrs[index]->kind == Attribute::Kind::Typed)
        return MStatus::kInvalidParameter;
    Value v;
    v.number = value;
    return Scene::get().writeValue(node, index, v);
}

} // namespace

MPlug::MPlug(const MObject& node, const MObject& attribute) : node_(node), attr_(attribute) {}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    int index;
    return resolve(node_, attr_, index) == nullptr;
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, node_.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return node_;
}

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, attr_.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return attr_;
}

MString MPlug::name(MStatus* ReturnStatus) const {
    int index;
    Node* node = resolve(node_, attr_, index);
    setStatus(ReturnStatus, node ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return node ? MString(node->plugName(index)) : MString();
}

MString MPlug::partialName(MStatus* ReturnStatus) const {
    int index;
    Node* node = resolve(node_, attr_, index);
    setStatus(ReturnStatus, node ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return node ? MString(node->name + "." + node->attrs[index]->shortName) : MString();
}

bool MPlug::isConnected(MStatus* ReturnStatus) const {
    MStatus status;
    if (fault("MPlug::isConnected", &status)) {
        setStatus(ReturnStatus, status);
        return false;
    }
    int index;
    Node* node = resolve(node_, attr_, index);
    setStatus(ReturnStatus, node ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!node)
        return false;
    const Slot& s = node->slots[index];
    return !s.source.node.expired() || !s.destinations.empty();
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    MStatus status;
    if (fault("MPlug::connectedTo", &status)) {
        setStatus(ReturnStatus, status);
        return false;
    }
    int index;
    Node* node = resolve(node_, attr_, index);
    setStatus(ReturnStatus, node ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!node)
        return false;
    const Slot& s = node->slots[index];
    auto add = [&](const PlugRef& r) {
        if (auto other = r.node.lock())
            array.append(MPlug(MObject(other), MObject(other->attrs[r.attr])));
    };
    if (asDst)
        add(s.source);
    if (asSrc)
        for (const PlugRef& r : s.destinations)
            add(r);
    return array.length() > 0;
}

MStatus MPlug::getValue(MObject& value, MDGContext&) const {
    MStatus status;
    if (fault("MPlug::getValue", &status))
        return status;
    int index;
    Node* node = resolve(node_, attr_, index);
    if (!node || node->attrs[index]->kind != Attribute::Kind::Typed)
        return MStatus::kInvalidParameter;
    Value v;
    status = Scene::get().readValue(node, index, v);
    value = wrap(v.data);
    return status;
}

MStatus MPlug::getValue(double& value, MDGContext&) const {
    return readNumber(node_, attr_, value, "MPlug::getValue");
}
MStatus MPlug::getValue(float& value, MDGContext&) const {
    return readNumber(node_, attr_, value, "MPlug::getValue");
}
MStatus MPlug::getValue(int& value, MDGContext&) const {
    return readNumber(node_, attr_, value, "MPlug::getValue");
}
MStatus MPlug::getValue(short& value, MDGContext&) const {
    return readNumber(node_, attr_, value, "MPlug::getValue");
}
MStatus MPlug::getValue(bool& value, MDGContext&) const {
    double d = 0.0;
    MStatus status = readNumber(node_, attr_, d, "MPlug::getValue");
    value = d != 0.0;
    return status;
}
MStatus MPlug::getValue(MString& value, MDGContext&) const {
    double d = 0.0;
    MStatus status = readNumber(node_, attr_, d, "MPlug::getValue");
    value = MString(gxFormatDouble(d));
    return status;
}

MStatus MPlug::setValue(const MObject& value) {
    MStatus status;
    if (fault("MPlug::setValue", &status))
        return status;
    int index;
    Node* node = resolve(node_, attr_, index);
    if (!node)
        return MStatus::kInvalidParameter;
    Value v;
    v.data = std::dynamic_pointer_cast<Data>(value.impl());
    if (!value.isNull() && !v.data)
        return MStatus::kInvalidParameter;
    if (node->attrs[index]->kind != Attribute::Kind::Typed)
        return MStatus::kInvalidParameter;
    return Scene::get().writeValue(node, index, v);
}

MStatus MPlug::setValue(double value) {
    return writeNumber(node_, attr_, value);
}
MStatus MPlug::setValue(float value) {
    return writeNumber(node_, attr_, value);
}
MStatus MPlug::setValue(int value) {
    return writeNumber(node_, attr_, value);
}
MStatus MPlug::setValue(short value) {
    return writeNumber(node_, attr_, value);
}
MStatus MPlug::setValue(bool value) {
    return writeNumber(node_, attr_, value ? 1.0 : 0.0);
}

double MPlug::asDouble(MDGContext& ctx, MStatus* ReturnStatus) const {
    double v = 0.0;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
float MPlug::asFloat(MDGContext& ctx, MStatus* ReturnStatus) const {
    float v = 0.0f;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
int MPlug::asInt(MDGContext& ctx, MStatus* ReturnStatus) const {
    int v = 0;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
short MPlug::asShort(MDGContext& ctx, MStatus* ReturnStatus) const {
    short v = 0;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
bool MPlug::asBool(MDGContext& ctx, MStatus* ReturnStatus) const {
    bool v = false;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
MObject MPlug::asMObject(MDGContext& ctx, MStatus* ReturnStatus) const {
    MObject v;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
