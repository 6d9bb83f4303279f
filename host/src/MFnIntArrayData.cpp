#include "Access.h"
#include "Faults.h"

#include <maya/MFnIntArrayData.h>

using namespace gxhost;

MFnIntArrayData::MFnIntArrayData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnIntArrayData::setObject(const MObject& object) {
    MStatus status;
    if (fault("MFnIntArrayData::setObject", &status))
        return status;
    if (!asData<IntArrayData>(object))
        return MStatus::kInvalidParameter;
    obj_ = object;
    return MStatus::kSuccess;
}

MObject MFnIntArrayData::create(MStatus* ReturnStatus) {
    return create(MIntArray(), ReturnStatus);
}

MObject MFnIntArrayData::create(const MIntArray& in, MStatus* ReturnStatus) {
    if (fault("MFnIntArrayData::create", ReturnStatus))
        return MObject();
    auto data = std::make_shared<IntArrayData>();
    data->values = in.vec();
    obj_ = MObject(data);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

unsigned int MFnIntArrayData::length(MStatus* ReturnStatus) const {
    if (fault("MFnIntArrayData::length", ReturnStatus))
        return 0;
    auto data = asData<IntArrayData>(obj_);
    setStatus(ReturnStatus, data ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return data ? static_cast<unsigned int>(data->values.size()) : 0;
}

int MFnIntArrayData::operator[](unsigned int index) const {
    auto data = asData<IntArrayData>(obj_);
    return data && index < data->values.size() ? data->values[index] : int();
}

MStatus MFnIntArrayData::set(int element, unsigned int index) {
    auto data = asData<IntArrayData>(obj_);
    if (!data || index >= data->values.size())
        return MStatus::kInvalidParameter;
    data->values[index] = element;
    return MStatus::kSuccess;
}

MStatus MFnIntArrayData::set(const MIntArray& newArray) {
    MStatus status;
    if (fault("MFnIntArrayData::set", &status))
        return status;
    auto data = asData<IntArrayData>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    data->values = newArray.vec();
    return MStatus::kSuccess;
}

MStatus MFnIntArrayData::copyTo(MIntArray& dest) const {
    auto data = asData<IntArrayData>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    dest.vec() = data->values;
    return MStatus::kSuccess;
}

MIntArray MFnIntArrayData::array(MStatus* ReturnStatus) const {
    MIntArray out;
    if (fault("MFnIntArrayData::array", ReturnStatus))
        return out;
    setStatus(ReturnStatus, copyTo(out));
    return out;
}
