// MFnArrayData: the body the array-data function sets share (MFnDoubleArrayData, MFnIntArrayData):
// create a data object holding an array, read, edit and copy its values.
#pragma once

#include <maya/MFnData.h>

template <typename Array, typename Element, MFn::Type Kind> class MFnArrayData : public MFnData {
public:
    GX_ATTACHING_FUNCTION_SET(MFnArrayData, Kind)
    MObject create(MStatus* ReturnStatus = nullptr);
    MObject create(const Array& in, MStatus* ReturnStatus = nullptr);
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    Element operator[](unsigned int index) const;
    MStatus set(Element element, unsigned int index);
    MStatus set(const Array& newArray);
    MStatus copyTo(Array& dest) const;
    // A copy of the values.
    Array array(MStatus* ReturnStatus = nullptr) const;
};
