// MFnPluginData: creates data objects of a plug-in data type and gives access to the MPxData inside.
#pragma once

#include <maya/MFnData.h>
#include <maya/MTypeId.h>

class MPxData;

class MFnPluginData : public MFnData {
public:
    GX_ATTACHING_FUNCTION_SET(MFnPluginData, MFn::kPluginData)

    // A new data object of the registered type `id`, made by the type's creator.
    MObject create(const MTypeId& id, MStatus* ReturnStatus = nullptr);
    MTypeId typeId(MStatus* ReturnStatus = nullptr) const;
    MPxData* data(MStatus* ReturnStatus = nullptr);
    const MPxData* constData(MStatus* ReturnStatus = nullptr) const;
};
