#include "Attribute.h"

#include "Data.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gxhost {

namespace {

// `value` cut to an integer type's range and truncated; NaN is 0. Converting a double outside the
// range would be undefined behaviour.
template <typename T> double saturated(double value) {
    if (std::isnan(value))
        return 0.0;
    const double low = static_cast<double>(std::numeric_limits<T>::min());
    const double high = static_cast<double>(std::numeric_limits<T>::max());
    return std::trunc(std::min(std::max(value, low), high));
}

template <typename T> bool inRange(double value) {
    return value >= static_cast<double>(std::numeric_limits<T>::min()) &&
           value <= static_cast<double>(std::numeric_limits<T>::max());
}

} // namespace

bool Attribute::holds(double value) const {
    if (kind == Kind::Enum)
        return inRange<short>(value);
    switch (numericType) {
    case MFnNumericData::kByte:
    case MFnNumericData::kChar:
        return inRange<signed char>(value);
    case MFnNumericData::kShort:
        return inRange<short>(value);
    case MFnNumericData::kInt:
        return inRange<int>(value);
    case MFnNumericData::kFloat:
        return std::isnan(value) || std::fabs(value) <= std::numeric_limits<float>::max();
    default:
        return true;
    }
}

double Attribute::storedNumber(double value) const {
    if (hasMin && value < minValue)
        value = minValue;
    if (hasMax && value > maxValue)
        value = maxValue;
    if (kind == Kind::Enum)
        return saturated<short>(value);
    switch (numericType) {
    case MFnNumericData::kBoolean:
        return value != 0.0 ? 1.0 : 0.0;
    case MFnNumericData::kByte:
    case MFnNumericData::kChar:
        return saturated<signed char>(value);
    case MFnNumericData::kShort:
        return saturated<short>(value);
    case MFnNumericData::kInt:
        return saturated<int>(value);
    case MFnNumericData::kFloat:
        return static_cast<double>(static_cast<float>(value));
    default:
        return value;
    }
}

bool Attribute::accepts(const Data& data) const {
    if (kind != Kind::Typed || data.dataType() != dataType)
        return false;
    if (dataType == MFnData::kPlugin)
        return static_cast<const PluginData&>(data).typeId() == pluginTypeId;
    return true;
}

const char* Attribute::kindName() const {
    if (kind == Kind::Enum)
        return "enum";
    if (kind == Kind::Numeric)
        return "numeric";
    switch (dataType) {
    case MFnData::kMesh:
        return "mesh";
    case MFnData::kDoubleArray:
        return "doubleArray";
    case MFnData::kIntArray:
        return "Int32Array";
    case MFnData::kPlugin:
        return "plug-in";
    default:
        return "typed";
    }
}

} // namespace gxhost
