#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MDataHandle.h>
#include <maya/MPxData.h>

#include <cmath>
#include <limits>

using namespace gxhost;

MDataHandle::MDataHandle(Node* node, int attribute) : node_(node), attr_(attribute) {}

Slot* MDataHandle::slot() const {
    if (!node_ || !node_->alive || attr_ < 0 || attr_ >= static_cast<int>(node_->slots.size()))
        return nullptr;
    return &node_->slots[attr_];
}

bool MDataHandle::isNumeric() const {
    return node_ && node_->attrs[attr_]->kind != Attribute::Kind::Typed;
}

MFnData::Type MDataHandle::type() const {
    if (!node_)
        return MFnData::kInvalid;
    const Attribute& a = *node_->attrs[attr_];
    return a.kind == Attribute::Kind::Typed ? a.dataType : MFnData::kNumeric;
}

double MDataHandle::asDouble() const {
    Slot* s = slot();
    return s ? s->value.number : 0.0;
}
float MDataHandle::asFloat() const {
    return static_cast<float>(asDouble());
}
// Stored numbers of integer attributes are already in range; a float or double one read as an
// integer is cut to the type's range rather than converted out of it.
template <typename T> static T toInteger(double value) {
    if (!(value > static_cast<double>(std::numeric_limits<T>::min())))
        return std::isnan(value) ? T(0) : std::numeric_limits<T>::min();
    if (value >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}

int MDataHandle::asInt() const {
    return toInteger<int>(asDouble());
}
short MDataHandle::asShort() const {
    return toInteger<short>(asDouble());
}
bool MDataHandle::asBool() const {
    return asDouble() != 0.0;
}

MObject MDataHandle::data() const {
    Slot* s = slot();
    return s ? wrap(s->value.data) : MObject();
}

MObject MDataHandle::asMesh() const {
    Slot* s = slot();
    return s && std::dynamic_pointer_cast<MeshData>(s->value.data) ? wrap(s->value.data) : MObject();
}

MPxData* MDataHandle::asPluginData() const {
    Slot* s = slot();
    auto pd = s ? std::dynamic_pointer_cast<PluginData>(s->value.data) : nullptr;
    return pd ? pd->data : nullptr;
}

void MDataHandle::setNumeric(double value) const {
    if (Slot* s = slot())
        s->value.number = node_->attrs[attr_]->storedNumber(value);
}
void MDataHandle::set(double value) const {
    setNumeric(value);
}
void MDataHandle::set(float value) const {
    setNumeric(value);
}
void MDataHandle::set(int value) const {
    setNumeric(value);
}
void MDataHandle::set(short value) const {
    setNumeric(value);
}
void MDataHandle::set(bool value) const {
    setNumeric(value ? 1.0 : 0.0);
}

MStatus MDataHandle::set(const MObject& data) const {
    MStatus status;
    if (fault("MDataHandle::set", &status))
        return status;
    Slot* s = slot();
    if (!s)
        return MStatus::kInvalidParameter;
    const Attribute& a = *node_->attrs[attr_];
    auto d = std::dynamic_pointer_cast<Data>(data.impl());
    if (a.kind != Attribute::Kind::Typed || (!data.isNull() && (!d || !a.accepts(*d))))
        return MStatus::kInvalidParameter;
    s->value.data = d;
    return MStatus::kSuccess;
}

void MDataHandle::setClean() const {
    if (Slot* s = slot())
        s->dirty = false;
}
