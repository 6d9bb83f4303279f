#include "Access.h"
#include "Faults.h"

#include <maya/MFnNumericAttribute.h>

using namespace gxhost;

MFnNumericAttribute::MFnNumericAttribute(const MObject& attribute, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(attribute));
}

MStatus MFnNumericAttribute::setObject(const MObject& attribute) {
    auto a = asAttribute(attribute);
    if (!a || a->kind != Attribute::Kind::Numeric)
        return MStatus::kInvalidParameter;
    obj_ = attribute;
    return MStatus::kSuccess;
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* ReturnStatus) {
    if (fault("MFnNumericAttribute::create", ReturnStatus))
        return MObject();
    bool scalar = unitType == MFnNumericData::kBoolean || unitType == MFnNumericData::kByte ||
                  unitType == MFnNumericData::kChar || unitType == MFnNumericData::kShort ||
                  unitType == MFnNumericData::kInt || unitType == MFnNumericData::kFloat ||
                  unitType == MFnNumericData::kDouble;
    if (fullName.isEmpty() || !scalar) {
        setStatus(ReturnStatus, scalar ? MStatus::kInvalidParameter : MStatus::kNotImplemented);
        return MObject();
    }
    auto a = std::make_shared<Attribute>();
    a->longName = fullName.str();
    a->shortName = briefName.isEmpty() ? fullName.str() : briefName.str();
    a->kind = Attribute::Kind::Numeric;
    a->numericType = unitType;
    a->defaultNumber = a->storedNumber(defaultValue);
    obj_ = MObject(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* ReturnStatus) const {
    auto a = asAttribute(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->numericType : MFnNumericData::kInvalid;
}

MStatus MFnNumericAttribute::setDefault(double value) {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    a->defaultNumber = a->storedNumber(value);
    return MStatus::kSuccess;
}
MStatus MFnNumericAttribute::setDefault(float value) {
    return setDefault(static_cast<double>(value));
}
MStatus MFnNumericAttribute::setDefault(int value) {
    return setDefault(static_cast<double>(value));
}
MStatus MFnNumericAttribute::setDefault(short value) {
    return setDefault(static_cast<double>(value));
}
MStatus MFnNumericAttribute::setDefault(bool value) {
    return setDefault(value ? 1.0 : 0.0);
}

MStatus MFnNumericAttribute::getDefault(double& value) const {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    value = a->defaultNumber;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::setMin(double value) {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    a->hasMin = true;
    a->minValue = value;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::setMax(double value) {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    a->hasMax = true;
    a->maxValue = value;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getMin(double& value) const {
    auto a = asAttribute(obj_);
    if (!a || !a->hasMin)
        return MStatus::kFailure;
    value = a->minValue;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getMax(double& value) const {
    auto a = asAttribute(obj_);
    if (!a || !a->hasMax)
        return MStatus::kFailure;
    value = a->maxValue;
    return MStatus::kSuccess;
}

bool MFnNumericAttribute::hasMin(MStatus* ReturnStatus) const {
    auto a = asAttribute(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && a->hasMin;
}

bool MFnNumericAttribute::hasMax(MStatus* ReturnStatus) const {
    auto a = asAttribute(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && a->hasMax;
}
