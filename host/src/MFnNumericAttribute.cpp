#include "Access.h"
#include "Faults.h"

#include <maya/MFnNumericAttribute.h>

using namespace gxhost;

namespace {

// Sets one bound (its flag and value) of the attribute `o`.
MStatus setBound(const MObject& o, bool Attribute::*has, double Attribute::*bound, double value) {
    return withAttribute(o, [&](Attribute& a) {
        a.*has = true;
        a.*bound = value;
    });
}

// Reads one bound of the attribute `o`; kFailure when it has none.
MStatus getBound(const MObject& o, bool Attribute::*has, double Attribute::*bound, double& value) {
    Attribute* a = asAttribute(o).get();
    if (!a || !(a->*has))
        return MStatus::kFailure;
    value = a->*bound;
    return MStatus::kSuccess;
}

} // namespace

MStatus MFnNumericAttribute::setObject(const MObject& attribute) {
    return attach(nullptr, isAttribute(attribute, Attribute::Kind::Numeric), obj_, attribute);
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* ReturnStatus) {
    bool scalar = unitType == MFnNumericData::kBoolean || unitType == MFnNumericData::kByte ||
                  unitType == MFnNumericData::kChar || unitType == MFnNumericData::kShort ||
                  unitType == MFnNumericData::kInt || unitType == MFnNumericData::kFloat ||
                  unitType == MFnNumericData::kDouble;
    auto a = newAttribute("MFnNumericAttribute::create", scalar, fullName, briefName,
                          Attribute::Kind::Numeric, ReturnStatus);
    if (!a)
        return MObject();
    a->numericType = unitType;
    a->defaultNumber = a->storedNumber(defaultValue);
    return adopt(obj_, MObject(a), ReturnStatus);
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* ReturnStatus) const {
    return readFrom(asAttribute(obj_), ReturnStatus, [](auto& a) { return a.numericType; });
}

MStatus MFnNumericAttribute::setDefault(double value) {
    return withAttribute(obj_, [&](Attribute& a) { a.defaultNumber = a.storedNumber(value); });
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
    return withAttribute(obj_, [&](Attribute& a) { value = a.defaultNumber; });
}

MStatus MFnNumericAttribute::setMin(double value) {
    return setBound(obj_, &Attribute::hasMin, &Attribute::minValue, value);
}

MStatus MFnNumericAttribute::setMax(double value) {
    return setBound(obj_, &Attribute::hasMax, &Attribute::maxValue, value);
}

MStatus MFnNumericAttribute::getMin(double& value) const {
    return getBound(obj_, &Attribute::hasMin, &Attribute::minValue, value);
}

MStatus MFnNumericAttribute::getMax(double& value) const {
    return getBound(obj_, &Attribute::hasMax, &Attribute::maxValue, value);
}

bool MFnNumericAttribute::hasMin(MStatus* ReturnStatus) const {
    return readFrom(asAttribute(obj_), ReturnStatus, [](auto& a) { return a.hasMin; });
}

bool MFnNumericAttribute::hasMax(MStatus* ReturnStatus) const {
    return readFrom(asAttribute(obj_), ReturnStatus, [](auto& a) { return a.hasMax; });
}
