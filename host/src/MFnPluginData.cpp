#include "Access.h"
#include "Faults.h"

#include <maya/MFnPluginData.h>

using namespace gxhost;

MFnPluginData::MFnPluginData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnPluginData::setObject(const MObject& object) {
    return attachData<PluginData>("MFnPluginData::setObject", obj_, object);
}

MObject MFnPluginData::create(const MTypeId& id, MStatus* ReturnStatus) {
    if (fault("MFnPluginData::create", ReturnStatus))
        return MObject();
    auto data = makePluginData(id.id());
    if (!data) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    obj_ = MObject(data);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MTypeId MFnPluginData::typeId(MStatus* ReturnStatus) const {
    auto data = asData<PluginData>(obj_);
    setStatus(ReturnStatus, data ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return data ? MTypeId(data->typeId()) : MTypeId();
}

MPxData* MFnPluginData::data(MStatus* ReturnStatus) {
    if (fault("MFnPluginData::data", ReturnStatus))
        return nullptr;
    auto data = asData<PluginData>(obj_);
    setStatus(ReturnStatus, data ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return data ? data->data : nullptr;
}

const MPxData* MFnPluginData::constData(MStatus* ReturnStatus) const {
    auto data = asData<PluginData>(obj_);
    setStatus(ReturnStatus, data ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return data ? data->data : nullptr;
}
