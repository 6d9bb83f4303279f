#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MFnTypedAttribute.h>

using namespace gxhost;

namespace {

MObject makeTyped(MObject& obj, const MString& fullName, const MString& briefName, MFnData::Type type,
                  unsigned int pluginId, const MObject& defaultData, MStatus* ReturnStatus) {
    if (fault("MFnTypedAttribute::create", ReturnStatus))
        return MObject();
    bool supported = type == MFnData::kMesh || type == MFnData::kDoubleArray || type == MFnData::kIntArray ||
                     type == MFnData::kPlugin;
    auto def = std::dynamic_pointer_cast<Data>(defaultData.impl());
    if (fullName.isEmpty() || !supported || (!defaultData.isNull() && !def)) {
        setStatus(ReturnStatus, supported ? MStatus::kInvalidParameter : MStatus::kNotImplemented);
        return MObject();
    }
    auto a = std::make_shared<Attribute>();
    a->longName = fullName.str();
    a->shortName = briefName.isEmpty() ? fullName.str() : briefName.str();
    a->kind = Attribute::Kind::Typed;
    a->dataType = type;
    a->pluginTypeId = pluginId;
    if (def && !a->accepts(*def)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    a->defaultData = def;
    obj = MObject(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj;
}

} // namespace

MFnTypedAttribute::MFnTypedAttribute(const MObject& attribute, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(attribute));
}

MStatus MFnTypedAttribute::setObject(const MObject& attribute) {
    auto a = asAttribute(attribute);
    if (!a || a->kind != Attribute::Kind::Typed)
        return MStatus::kInvalidParameter;
    obj_ = attribute;
    return MStatus::kSuccess;
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
    auto a = asAttribute(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->dataType : MFnData::kInvalid;
}

MStatus MFnTypedAttribute::getDefault(MObject& defaultData) const {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    defaultData = wrap(a->defaultData);
    return MStatus::kSuccess;
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData) {
    auto a = asAttribute(obj_);
    auto def = std::dynamic_pointer_cast<Data>(defaultData.impl());
    if (!a || (!defaultData.isNull() && (!def || !a->accepts(*def))))
        return MStatus::kInvalidParameter;
    a->defaultData = def;
    return MStatus::kSuccess;
}
