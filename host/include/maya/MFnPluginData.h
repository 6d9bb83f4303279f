// MFnPluginData: creates data objects of a plug-in data type and gives access to the MPxData inside.
#pragma once

#include <maya/MFnData.h>
#include <maya/MTypeId.h>

class MPxData;

class MFnPluginData : public MFnData {
public:
    MFnPluginData() = default;
    MFnPluginData(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override { return MFn::kPluginData; }
    MStatus setObject(const MObject& object) override;

    // A new data object of the registered type `id`, made by the type's creator.
    MObject create(const MTypeId& id, MStatus* ReturnStatus = nullptr);
    MTypeId typeId(MStatus* ReturnStatus = nullptr) const;
    MPxData* data(MStatus* ReturnStatus = nullptr);
    const MPxData* constData(MStatus* ReturnStatus = nullptr) const;
};
