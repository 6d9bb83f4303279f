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

// The slot (value and connections) of a plug for the operation `op`, which may be made to fail first;
// null when it fails or the plug does not resolve, with the status set.
const Slot* plugSlot(const char* op, const MObject& n, const MObject& a, MStatus* ReturnStatus) {
    if (fault(op, ReturnStatus))
        return nullptr;
    int index;
    Node* node = resolve(n, a, index);
    setStatus(ReturnStatus, node ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return node ? &node->slots[index] : nullptr;
}

// Runs `body` on a plug's node and attribute index for the operation `op`, which may be made to fail
// first; kInvalidParameter when the plug does not resolve or its attribute does not hold data
// (`typed`) or numbers (not `typed`).
template <typename F>
MStatus withPlug(const char* op, const MObject& n, const MObject& a, bool typed, F body) {
    MStatus status;
    if (fault(op, &status))
        return status;
    int index;
    Node* node = resolve(n, a, index);
    if (!node || (node->attrs[index]->kind == Attribute::Kind::Typed) != typed)
        return MStatus::kInvalidParameter;
    return body(node, index);
}

// Reads a plug's value (data when `typed`) into `out` with `take`.
template <typename F> MStatus readPlug(const MObject& n, const MObject& a, bool typed, F take) {
    return withPlug("MPlug::getValue", n, a, typed, [&](Node* node, int index) {
        Value v;
        MStatus status = Scene::get().readValue(node, index, v);
        take(v);
        return status;
    });
}

template <typename T> MStatus readNumber(const MObject& n, const MObject& a, T& out) {
    return readPlug(n, a, false, [&](const Value& v) { out = static_cast<T>(v.number); });
}

MStatus writeNumber(const MObject& n, const MObject& a, double value) {
    return withPlug("MPlug::setValue", n, a, false, [&](Node* node, int index) {
        Value v;
        v.number = value;
        return Scene::get().writeValue(node, index, v);
    });
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
    const Slot* s = plugSlot("MPlug::isConnected", node_, attr_, ReturnStatus);
    return s && (!s->source.node.expired() || !s->destinations.empty());
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    const Slot* s = plugSlot("MPlug::connectedTo", node_, attr_, ReturnStatus);
    if (!s)
        return false;
    auto add = [&](const PlugRef& r) {
        if (auto other = r.node.lock())
            array.append(MPlug(MObject(other), MObject(other->attrs[r.attr])));
    };
    if (asDst)
        add(s->source);
    if (asSrc)
        for (const PlugRef& r : s->destinations)
            add(r);
    return array.length() > 0;
}

MStatus MPlug::getValue(MObject& value, MDGContext&) const {
    return readPlug(node_, attr_, true, [&](const Value& v) { value = wrap(v.data); });
}

MStatus MPlug::getValue(double& value, MDGContext&) const {
    return readNumber(node_, attr_, value);
}
MStatus MPlug::getValue(float& value, MDGContext&) const {
    return readNumber(node_, attr_, value);
}
MStatus MPlug::getValue(int& value, MDGContext&) const {
    return readNumber(node_, attr_, value);
}
MStatus MPlug::getValue(short& value, MDGContext&) const {
    return readNumber(node_, attr_, value);
}
MStatus MPlug::getValue(bool& value, MDGContext&) const {
    double d = 0.0;
    MStatus status = readNumber(node_, attr_, d);
    value = d != 0.0;
    return status;
}
MStatus MPlug::getValue(MString& value, MDGContext&) const {
    double d = 0.0;
    MStatus status = readNumber(node_, attr_, d);
    value = MString(gxFormatDouble(d));
    return status;
}

MStatus MPlug::setValue(const MObject& value) {
    return withPlug("MPlug::setValue", node_, attr_, true, [&](Node* node, int index) {
        Value v;
        v.data = std::dynamic_pointer_cast<Data>(value.impl());
        if (!value.isNull() && !v.data)
            return MStatus(MStatus::kInvalidParameter);
        return Scene::get().writeValue(node, index, v);
    });
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

// Each as<Type> reads the plug's value as that type, with the status of reading it.
#define GX_PLUG_AS(Type, name)                                                                               \
    Type MPlug::name(MDGContext& ctx, MStatus* ReturnStatus) const {                                         \
        Type value{};                                                                                        \
        setStatus(ReturnStatus, getValue(value, ctx));                                                       \
        return value;                                                                                        \
    }
GX_PLUG_AS(double, asDouble)
GX_PLUG_AS(float, asFloat)
GX_PLUG_AS(int, asInt)
GX_PLUG_AS(short, asShort)
GX_PLUG_AS(bool, asBool)
GX_PLUG_AS(MObject, asMObject)
#undef GX_PLUG_AS
