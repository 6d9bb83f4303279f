// MFnMeshData: creates mesh data objects, the values that mesh attributes carry.
#pragma once

#include <maya/MFnData.h>

class MFnMeshData : public MFnData {
public:
    MFnMeshData() = default;
    MFnMeshData(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override { return MFn::kMeshData; }
    MStatus setObject(const MObject& object) override;

    // A new, empty mesh data object; the function set is attached to it.
    MObject create(MStatus* ReturnStatus = nullptr);
};
