// MFnIntArrayData: creates and edits int-array data objects.
#pragma once

#include <maya/MFnData.h>
#include <maya/MIntArray.h>

class MFnIntArrayData : public MFnData {
public:
    MFnIntArrayData() = default;
    MFnIntArrayData(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override { return MFn::kIntArrayData; }
    MStatus setObject(const MObject& object) override;

    MObject create(MStatus* ReturnStatus = nullptr);
    MObject create(const MIntArray& in, MStatus* ReturnStatus = nullptr);
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    int operator[](unsigned int index) const;
    MStatus set(int element, unsigned int index);
    MStatus set(const MIntArray& newArray);
    MStatus copyTo(MIntArray& dest) const;
    // A copy of the values.
    MIntArray array(MStatus* ReturnStatus = nullptr) const;
};
