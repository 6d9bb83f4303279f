#include "Faults.h"

#include <maya/MFnBase.h>

MObject MFnBase::object(MStatus* ReturnStatus) const {
    gxhost::setStatus(ReturnStatus, obj_.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return obj_;
}

MStatus MFnBase::setObject(const MObject& object) {
    obj_ = object;
    return MStatus::kSuccess;
}
