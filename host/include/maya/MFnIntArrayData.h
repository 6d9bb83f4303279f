// MFnIntArrayData: creates and edits int-array data objects.
#pragma once

#include <maya/MFnArrayData.h>
#include <maya/MIntArray.h>

class MFnIntArrayData : public MFnArrayData<MIntArray, int, MFn::kIntArrayData> {
public:
    using MFnArrayData::MFnArrayData;
};
