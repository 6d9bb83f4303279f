#include "Access.h"
#include "Faults.h"

#include <maya/MFnPluginData.h>

using namespace gxhost;

MStatus MFnPluginData::setObject(const MObject& object) {
    return attach("MFnPluginData::setObject", bool(asData<PluginData>(object)), obj_, object);
}

MObject MFnPluginData::create(const MTypeId& id, MStatus* ReturnStatus) {
    if (fault("MFnPluginData::create", ReturnStatus))
        return MObject();
    auto data = makePluginData(id.id());
    if (!data) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return adopt(obj_, MObject(data), ReturnStatus);
}

MTypeId MFnPluginData::typeId(MStatus* ReturnStatus) const {
    return readFrom(asData<PluginData>(obj_), ReturnStatus, [](auto& d) { return MTypeId(d.typeId()); });
}

MPxData* MFnPluginData::data(MStatus* ReturnStatus) {
    if (fault("MFnPluginData::data", ReturnStatus))
        return nullptr;
    return readFrom(asData<PluginData>(obj_), ReturnStatus, [](auto& d) { return d.data; });
}

const MPxData* MFnPluginData::constData(MStatus* ReturnStatus) const {
    return readFrom(asData<PluginData>(obj_), ReturnStatus, [](auto& d) { return d.data; });
}
