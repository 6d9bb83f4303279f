#include "Access.h"
#include "Faults.h"

#include <maya/MFnAttribute.h>

using namespace gxhost;

namespace {

Attribute* attr(const MObject& o) {
    return asAttribute(o).get();
}

} // namespace

MStatus MFnAttribute::setObject(const MObject& attribute) {
    return attach(nullptr, attr(attribute), obj_, attribute);
}

MString MFnAttribute::name(MStatus* ReturnStatus) const {
    return readFrom(attr(obj_), ReturnStatus, [](auto& a) { return MString(a.longName); });
}

MString MFnAttribute::shortName(MStatus* ReturnStatus) const {
    return readFrom(attr(obj_), ReturnStatus, [](auto& a) { return MString(a.shortName); });
}

// Each flag is read and set the same way: a reader that reports whether there is an attribute, a
// setter that fails without one.
#define GX_ATTRIBUTE_FLAG(Is, Set, flag)                                                                     \
    bool MFnAttribute::Is(MStatus* ReturnStatus) const {                                                     \
        return readFrom(attr(obj_), ReturnStatus, [](auto& a) { return a.flag; });                           \
    }                                                                                                        \
    MStatus MFnAttribute::Set(bool state) {                                                                  \
        return withAttribute(obj_, [&](Attribute& a) { a.flag = state; });                                   \
    }
GX_ATTRIBUTE_FLAG(isReadable, setReadable, readable)
GX_ATTRIBUTE_FLAG(isWritable, setWritable, writable)
GX_ATTRIBUTE_FLAG(isStorable, setStorable, storable)
GX_ATTRIBUTE_FLAG(isKeyable, setKeyable, keyable)
GX_ATTRIBUTE_FLAG(isInternal, setInternal, internal)
GX_ATTRIBUTE_FLAG(isConnectable, setConnectable, connectable)
GX_ATTRIBUTE_FLAG(isHidden, setHidden, hidden)
GX_ATTRIBUTE_FLAG(isCached, setCached, cached)
#undef GX_ATTRIBUTE_FLAG

MStatus MFnAttribute::setArray(bool s) {
    return s ? MStatus::kNotImplemented : MStatus::kSuccess;
}
