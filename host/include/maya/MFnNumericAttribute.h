// MFnNumericAttribute: creates and configures scalar numeric attributes (bool, short, int, float,
// double). Minimum and maximum, when set, clamp written values.
#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>

class MFnNumericAttribute : public MFnAttribute {
public:
    GX_ATTACHING_FUNCTION_SET(MFnNumericAttribute, MFn::kNumericAttribute)

    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                   double defaultValue = 0.0, MStatus* ReturnStatus = nullptr);
    MFnNumericData::Type unitType(MStatus* ReturnStatus = nullptr) const;

    MStatus setDefault(double value);
    MStatus setDefault(float value);
    MStatus setDefault(int value);
    MStatus setDefault(short value);
    MStatus setDefault(bool value);
    MStatus getDefault(double& value) const;
    MStatus setMin(double value);
    MStatus setMax(double value);
    MStatus getMin(double& value) const;
    MStatus getMax(double& value) const;
    bool hasMin(MStatus* ReturnStatus = nullptr) const;
    bool hasMax(MStatus* ReturnStatus = nullptr) const;
};
