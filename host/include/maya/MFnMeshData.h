// MFnMeshData: creates mesh data objects, the values that mesh attributes carry.
#pragma once

#include <maya/MFnData.h>

class MFnMeshData : public MFnData {
public:
    GX_ATTACHING_FUNCTION_SET(MFnMeshData, MFn::kMeshData)

    // A new, empty mesh data object; the function set is attached to it.
    MObject create(MStatus* ReturnStatus = nullptr);
};
