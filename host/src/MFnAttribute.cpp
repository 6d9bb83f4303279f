#include "Access.h"
#include "Faults.h"

#include <maya/MFnAttribute.h>

using namespace gxhost;

namespace {

Attribute* attr(const MObject& o) {
    return asAttribute(o).get();
}

template <typename F> MStatus setFlag(const MObject& o, F apply) {
    Attribute* a = attr(o);
    if (!a)
        return MStatus::kInvalidParameter;
    apply(*a);
    return MStatus::kSuccess;
}

template <typename F> bool getFlag(const MObject& o, MStatus* ReturnStatus, F read) {
    Attribute* a = attr(o);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && read(*a);
}

} // namespace

MFnAttribute::MFnAttribute(const MObject& attribute, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(attribute));
}

MStatus MFnAttribute::setObject(const MObject& attribute) {
    if (!attr(attribute))
        return MStatus::kInvalidParameter;
    obj_ = attribute;
    return MStatus::kSuccess;
}

MString MFnAttribute::name(MStatus* ReturnStatus) const {
    Attribute* a = attr(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? MString(a->longName) : MString();
}

MString MFnAttribute::shortName(MStatus* ReturnStatus) const {
    Attribute* a = attr(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? MString(a->shortName) : MString();
}

bool MFnAttribute::isReadable(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.readable; });
}
bool MFnAttribute::isWritable(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.writable; });
}
bool MFnAttribute::isStorable(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.storable; });
}
bool MFnAttribute::isKeyable(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.keyable; });
}
bool MFnAttribute::isInternal(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.internal; });
}
bool MFnAttribute::isConnectable(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.connectable; });
}
bool MFnAttribute::isHidden(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.hidden; });
}
bool MFnAttribute::isCached(MStatus* rs) const {
    return getFlag(obj_, rs, [](auto& a) { return a.cached; });
}

MStatus MFnAttribute::setReadable(bool s) {
    return setFlag(obj_, [&](auto& a) { a.readable = s; });
}
MStatus MFnAttribute::setWritable(bool s) {
    return setFlag(obj_, [&](auto& a) { a.writable = s; });
}
MStatus MFnAttribute::setStorable(bool s) {
    return setFlag(obj_, [&](auto& a) { a.storable = s; });
}
MStatus MFnAttribute::setKeyable(bool s) {
    return setFlag(obj_, [&](auto& a) { a.keyable = s; });
}
MStatus MFnAttribute::setInternal(bool s) {
    return setFlag(obj_, [&](auto& a) { a.internal = s; });
}
MStatus MFnAttribute::setConnectable(bool s) {
    return setFlag(obj_, [&](auto& a) { a.connectable = s; });
}
MStatus MFnAttribute::setHidden(bool s) {
    return setFlag(obj_, [&](auto& a) { a.hidden = s; });
}
MStatus MFnAttribute::setCached(bool s) {
    return setFlag(obj_, [&](auto& a) { a.cached = s; });
}
MStatus MFnAttribute::setArray(bool s) {
    return s ? MStatus::kNotImplemented : MStatus::kSuccess;
}
