// MFnEnumAttribute: creates enumerated attributes; the stored value is the field's number (short).
#pragma once

#include <maya/MFnAttribute.h>

class MFnEnumAttribute : public MFnAttribute {
public:
    GX_ATTACHING_FUNCTION_SET(MFnEnumAttribute, MFn::kEnumAttribute)

    MObject create(const MString& fullName, const MString& briefName, short defaultValue = 0,
                   MStatus* ReturnStatus = nullptr);
    MStatus addField(const MString& fieldName, short index);
    MString fieldName(short index, MStatus* ReturnStatus = nullptr) const;
    short fieldIndex(const MString& fieldName, MStatus* ReturnStatus = nullptr) const;
    MStatus getMin(short& minValue) const;
    MStatus getMax(short& maxValue) const;
    MStatus setDefault(short index);
    MStatus getDefault(short& index) const;
};
