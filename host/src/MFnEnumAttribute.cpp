#include "Access.h"
#include "Faults.h"

#include <maya/MFnEnumAttribute.h>

using namespace gxhost;

namespace {

using Field = std::pair<std::string, short>;

// The attribute's first field that `match` accepts; null (with kInvalidParameter) when there is none.
template <typename F> const Field* findField(const MObject& o, MStatus* ReturnStatus, F match) {
    auto a = asAttribute(o);
    if (a)
        for (auto& f : a->fields)
            if (match(f)) {
                setStatus(ReturnStatus, MStatus::kSuccess);
                return &f;
            }
    setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return nullptr;
}

// The field number that `better` prefers over all others; kFailure without fields.
template <typename F> MStatus extremeField(const MObject& o, short& value, F better) {
    auto a = asAttribute(o);
    if (!a || a->fields.empty())
        return MStatus::kFailure;
    value = a->fields.front().second;
    for (auto& f : a->fields)
        value = better(value, f.second);
    return MStatus::kSuccess;
}

} // namespace

MStatus MFnEnumAttribute::setObject(const MObject& attribute) {
    return attach(nullptr, isAttribute(attribute, Attribute::Kind::Enum), obj_, attribute);
}

MObject MFnEnumAttribute::create(const MString& fullName, const MString& briefName, short defaultValue,
                                 MStatus* ReturnStatus) {
    auto a = newAttribute("MFnEnumAttribute::create", true, fullName, briefName, Attribute::Kind::Enum,
                          ReturnStatus);
    if (!a)
        return MObject();
    a->numericType = MFnNumericData::kShort;
    a->defaultNumber = defaultValue;
    return adopt(obj_, MObject(a), ReturnStatus);
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
    const Field* f = findField(obj_, ReturnStatus, [&](const Field& field) { return field.second == index; });
    return f ? MString(f->first) : MString();
}

short MFnEnumAttribute::fieldIndex(const MString& fieldName, MStatus* ReturnStatus) const {
    const Field* f =
        findField(obj_, ReturnStatus, [&](const Field& field) { return field.first == fieldName.str(); });
    return f ? f->second : 0;
}

MStatus MFnEnumAttribute::getMin(short& minValue) const {
    return extremeField(obj_, minValue, [](short a, short b) { return std::min(a, b); });
}

MStatus MFnEnumAttribute::getMax(short& maxValue) const {
    return extremeField(obj_, maxValue, [](short a, short b) { return std::max(a, b); });
}

MStatus MFnEnumAttribute::setDefault(short index) {
    return withAttribute(obj_, [&](Attribute& a) { a.defaultNumber = index; });
}

MStatus MFnEnumAttribute::getDefault(short& index) const {
    return withAttribute(obj_, [&](Attribute& a) { index = static_cast<short>(a.defaultNumber); });
}
