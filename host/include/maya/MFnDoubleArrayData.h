// MFnDoubleArrayData: creates and edits double-array data objects.
#pragma once

#include <maya/MDoubleArray.h>
#include <maya/MFnArrayData.h>

class MFnDoubleArrayData : public MFnArrayData<MDoubleArray, double, MFn::kDoubleArrayData> {
public:
    using MFnArrayData::MFnArrayData;
};
