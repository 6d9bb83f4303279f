#include "Access.h"
#include "Faults.h"

#include <maya/MFnEnumAttribute.h>

using namespace gxhost;

MFnEnumAttribute::MFnEnumAttribute(const MObject& attribute, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(attribute));
}

MStatus MFnEnumAttribute::setObject(const MObject& attribute) {
    auto a = asAttribute(attribute);
    if (!a || a->kind != Attribute::Kind::Enum)
        return MStatus::kInvalidParameter;
    obj_ = attribute;
    return MStatus::kSuccess;
}

MObject MFnEnumAttribute::create(const MString& fullName, const MString& briefName, short defaultValue,
                                 MStatus* ReturnStatus) {
    if (fault("MFnEnumAttribute::create", ReturnStatus))
        return MObject();
    if (fullName.isEmpty()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    auto a = std::make_shared<Attribute>();
    a->longName = fullName.str();
    a->shortName = briefName.isEmpty() ? fullName.str() : briefName.str();
    a->kind = Attribute::Kind::Enum;
    a->numericType = MFnNumericData::kShort;
    a->defaultNumber = defaultValue;
    obj_ = MObject(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MStatus MFnEnumAttribute::addField(const MString& fieldName, short index) {
    MStatus status;
    if (fault("MFnEnumAttribute::addField", &status))
        return status;
    auto a = asAttribute(obj_);
    if (!a || fieldName.isEmpty())
        return MStatus::kInvalidParameter;
    for (auto& f : a->fields)
        if (f.first == fieldName.str() || f.second == index)
            return MStatus::kInvalidParameter;
    a->fields.emplace_back(fieldName.str(), index);
    return MStatus::kSuccess;
}

MString MFnEnumAttribute::fieldName(short index, MStatus* ReturnStatus) const {
    auto a = asAttribute(obj_);
    if (a)
        for (auto& f : a->fields)
            if (f.second == index) {
                setStatus(ReturnStatus, MStatus::kSuccess);
                return MString(f.first);
            }
    setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MString();
}

short MFnEnumAttribute::fieldIndex(const MString& fieldName, MStatus* ReturnStatus) const {
    auto a = asAttribute(obj_);
    if (a)
        for (auto& f : a->fields)
            if (f.first == fieldName.str()) {
                setStatus(ReturnStatus, MStatus::kSuccess);
                return f.second;
            }
    setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return 0;
}

MStatus MFnEnumAttribute::getMin(short& minValue) const {
    auto a = asAttribute(obj_);
    if (!a || a->fields.empty())
        return MStatus::kFailure;
    minValue = a->fields.front().second;
    for (auto& f : a->fields)
        minValue = std::min(minValue, f.second);
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::getMax(short& maxValue) const {
    auto a = asAttribute(obj_);
    if (!a || a->fields.empty())
        return MStatus::kFailure;
    maxValue = a->fields.front().second;
    for (auto& f : a->fields)
        maxValue = std::max(maxValue, f.second);
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::setDefault(short index) {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    a->defaultNumber = index;
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::getDefault(short& index) const {
    auto a = asAttribute(obj_);
    if (!a)
        return MStatus::kInvalidParameter;
    index = static_cast<short>(a->defaultNumber);
    return MStatus::kSuccess;
}
