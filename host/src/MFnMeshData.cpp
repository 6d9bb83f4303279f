#include "Access.h"
#include "Faults.h"

#include <maya/MFnMeshData.h>

using namespace gxhost;

MFnMeshData::MFnMeshData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnMeshData::setObject(const MObject& object) {
    return attachData<MeshData>("MFnMeshData::setObject", obj_, object);
}

MObject MFnMeshData::create(MStatus* ReturnStatus) {
    if (fault("MFnMeshData::create", ReturnStatus))
        return MObject();
    obj_ = MObject(std::make_shared<MeshData>());
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}
