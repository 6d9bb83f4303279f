// MFnTypedAttribute: creates attributes that carry data objects (mesh, arrays, plug-in data).
#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MTypeId.h>

class MFnTypedAttribute : public MFnAttribute {
public:
    GX_ATTACHING_FUNCTION_SET(MFnTypedAttribute, MFn::kTypedAttribute)

    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   const MObject& defaultData = MObject::kNullObj, MStatus* ReturnStatus = nullptr);
    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   MStatus* ReturnStatus);
    // An attribute of a plug-in data type, given by the id it was registered with.
    MObject create(const MString& fullName, const MString& briefName, const MTypeId& id,
                   const MObject& defaultData = MObject::kNullObj, MStatus* ReturnStatus = nullptr);
    MObject create(const MString& fullName, const MString& briefName, const MTypeId& id,
                   MStatus* ReturnStatus);

    MFnData::Type attrType(MStatus* ReturnStatus = nullptr) const;
    MStatus getDefault(MObject& defaultData) const;
    MStatus setDefault(const MObject& defaultData);
};
