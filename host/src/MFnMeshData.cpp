#include "Access.h"
#include "Faults.h"

#include <maya/MFnMeshData.h>

using namespace gxhost;

MStatus MFnMeshData::setObject(const MObject& object) {
    return attach("MFnMeshData::setObject", bool(asData<MeshData>(object)), obj_, object);
}

MObject MFnMeshData::create(MStatus* ReturnStatus) {
    if (fault("MFnMeshData::create", ReturnStatus))
        return MObject();
    return adopt(obj_, MObject(std::make_shared<MeshData>()), ReturnStatus);
}
