// Out-of-line parts of the plain value classes (MObject, MPoint, MVector, MDGContext).
#include "Object.h"

#include <maya/MDGContext.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <ostream>

const MObject MObject::kNullObj;
const MPoint MPoint::origin;
MDGContext MDGContext::fsNormal;

MFn::Type MObject::apiType() const {
    return obj_ ? obj_->apiType() : MFn::kInvalid;
}

bool MObject::hasFn(MFn::Type type) const {
    return obj_ && obj_->hasFn(type);
}

const char* MObject::apiTypeStr() const {
    return obj_ ? obj_->apiTypeStr() : "kInvalid";
}

std::ostream& operator<<(std::ostream& os, const MVector& v) {
    return os << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}

std::ostream& operator<<(std::ostream& os, const MPoint& p) {
    return os << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
}
