#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MFnTypedAttribute.h>

using namespace gxhost;

namespace {

// Makes the data object `value` the attribute's default (none for the null object); false when it is
// no data object the attribute accepts.
bool setDefaultData(Attribute& a, const MObject& value) {
    auto def = std::dynamic_pointer_cast<Data>(value.impl());
    if (!value.isNull() && (!def || !a.accepts(*def)))
        return false;
    a.defaultData = def;
    return true;
}

MObject makeTyped(MObject& obj, const MString& fullName, const MString& briefName, MFnData::Type type,
                  unsigned int pluginId, const MObject& defaultData, MStatus* ReturnStatus) {
    bool supported = type == MFnData::kMesh || type == MFnData::kDoubleArray || type == MFnData::kIntArray ||
                     type == MFnData::kPlugin;
    auto a = newAttribute("MFnTypedAttribute::create", supported, fullName, briefName, Attribute::Kind::Typed,
                          ReturnStatus);
    if (!a)
        return MObject();
    a->dataType = type;
    a->pluginTypeId = pluginId;
    if (!setDefaultData(*a, defaultData)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return adopt(obj, MObject(a), ReturnStatus);
}

} // namespace

MStatus MFnTypedAttribute::setObject(const MObject& attribute) {
    return attach(nullptr, isAttribute(attribute, Attribute::Kind::Typed), obj_, attribute);
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type type,
                                  const MObject& defaultData, MStatus* ReturnStatus) {
    if (type == MFnData::kPlugin) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter); // plug-in data is created by type id
        return MObject();
    }
    return makeTyped(obj_, fullName, briefName, type, 0, defaultData, ReturnStatus);
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type type,
                                  MStatus* ReturnStatus) {
    return create(fullName, briefName, type, MObject::kNullObj, ReturnStatus);
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, const MTypeId& id,
                                  const MObject& defaultData, MStatus* ReturnStatus) {
    return makeTyped(obj_, fullName, briefName, MFnData::kPlugin, id.id(), defaultData, ReturnStatus);
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, const MTypeId& id,
                                  MStatus* ReturnStatus) {
    return create(fullName, briefName, id, MObject::kNullObj, ReturnStatus);
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* ReturnStatus) const {
    return readFrom(asAttribute(obj_), ReturnStatus, [](auto& a) { return a.dataType; });
}

MStatus MFnTypedAttribute::getDefault(MObject& defaultData) const {
    return withAttribute(obj_, [&](Attribute& a) { defaultData = wrap(a.defaultData); });
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData) {
    auto a = asAttribute(obj_);
    return a && setDefaultData(*a, defaultData) ? MStatus::kSuccess : MStatus::kInvalidParameter;
}
