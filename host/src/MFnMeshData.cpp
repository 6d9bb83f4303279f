#include "Access.h"
#include "Faults.h"

#include <maya/MFnMeshData.h>

using namespace gxhost;

MFnMeshData::MFnMeshData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnMeshData::setObject(const MObject& object) {
    MStatus status;
    if (fault("MFnMeshData::setObject", &status))
        return status;
    if (!asData<MeshData>(object))
        return MStatus::kInvalidParameter;
    obj_ = object;
    return MStatus::kSuccess;
}

MObject MFnMeshData::create(MStatus* ReturnStatus) {
    if (fault("MFnMeshData::create", ReturnStatus))
        return MObject();
    obj_ = MObject(std::make_shared<MeshData>());
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}
