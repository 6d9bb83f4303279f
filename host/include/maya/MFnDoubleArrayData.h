// MFnDoubleArrayData: creates and edits double-array data objects.
#pragma once

#include <maya/MDoubleArray.h>
#include <maya/MFnData.h>

class MFnDoubleArrayData : public MFnData {
public:
    MFnDoubleArrayData() = default;
    MFnDoubleArrayData(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override { return MFn::kDoubleArrayData; }
    MStatus setObject(const MObject& object) override;

    MObject create(MStatus* ReturnStatus = nullptr);
    MObject create(const MDoubleArray& in, MStatus* ReturnStatus = nullptr);
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    double operator[](unsigned int index) const;
    MStatus set(double element, unsigned int index);
    MStatus set(const MDoubleArray& newArray);
    MStatus copyTo(MDoubleArray& dest) const;
    // A copy of the values.
    MDoubleArray array(MStatus* ReturnStatus = nullptr) const;
};
