#include "Access.h"
#include "Faults.h"

#include <maya/MFnDoubleArrayData.h>

using namespace gxhost;

MFnDoubleArrayData::MFnDoubleArrayData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnDoubleArrayData::setObject(const MObject& object) {
    MStatus status;
    if (fault("MFnDoubleArrayData::setObject", &status))
        return status;
    if (!asData<DoubleArrayData>(object))
        return MStatus::kInvalidParameter;
    obj_ = object;
    return MStatus::kSuccess;
}

MObject MFnDoubleArrayData::create(MStatus* ReturnStatus) {
    return create(MDoubleArray(), ReturnStatus);
}

MObject MFnDoubleArrayData::create(const MDoubleArray& in, MStatus* ReturnStatus) {
    if (fault("MFnDoubleArrayData::create", ReturnStatus))
        return MObject();
    auto data = std::make_shared<DoubleArrayData>();
    data->values = in.vec();
    obj_ = MObject(data);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

unsigned int MFnDoubleArrayData::length(MStatus* ReturnStatus) const {
    if (fault("MFnDoubleArrayData::length", ReturnStatus))
        return 0;
    auto data = asData<DoubleArrayData>(obj_);
    setStatus(ReturnStatus, data ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return data ? static_cast<unsigned int>(data->values.size()) : 0;
}

double MFnDoubleArrayData::operator[](unsigned int index) const {
    auto data = asData<DoubleArrayData>(obj_);
    return data && index < data->values.size() ? data->values[index] : double();
}

MStatus MFnDoubleArrayData::set(double element, unsigned int index) {
    auto data = asData<DoubleArrayData>(obj_);
    if (!data || index >= data->values.size())
        return MStatus::kInvalidParameter;
    data->values[index] = element;
    return MStatus::kSuccess;
}

MStatus MFnDoubleArrayData::set(const MDoubleArray& newArray) {
    MStatus status;
    if (fault("MFnDoubleArrayData::set", &status))
        return status;
    auto data = asData<DoubleArrayData>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    data->values = newArray.vec();
    return MStatus::kSuccess;
}

MStatus MFnDoubleArrayData::copyTo(MDoubleArray& dest) const {
    auto data = asData<DoubleArrayData>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    dest.vec() = data->values;
    return MStatus::kSuccess;
}

MDoubleArray MFnDoubleArrayData::array(MStatus* ReturnStatus) const {
    MDoubleArray out;
    if (fault("MFnDoubleArrayData::array", ReturnStatus))
        return out;
    setStatus(ReturnStatus, copyTo(out));
    return out;
}
