#include "Attribute.h"

#include "Data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace gxhost {

namespace {

template <typename T> std::pair<double, double> rangeOf() {
    return {static_cast<double>(std::numeric_limits<T>::min()),
            static_cast<double>(std::numeric_limits<T>::max())};
}

// The range of the integer type `a` stores its numbers in; none for booleans and floating point.
std::optional<std::pair<double, double>> integerRange(const Attribute& a) {
    if (a.kind == Attribute::Kind::Enum)
        return rangeOf<short>();
    switch (a.numericType) {
    case MFnNumericData::kByte:
    case MFnNumericData::kChar:
        return rangeOf<signed char>();
    case MFnNumericData::kShort:
        return rangeOf<short>();
    case MFnNumericData::kInt:
        return rangeOf<int>();
    default:
        return std::nullopt;
    }
}

} // namespace

bool Attribute::holds(double value) const {
    if (auto range = integerRange(*this))
        return value >= range->first && value <= range->second;
    if (numericType == MFnNumericData::kFloat)
        return std::isnan(value) || std::fabs(value) <= std::numeric_limits<float>::max();
    return true;
}

double Attribute::storedNumber(double value) const {
    if (hasMin && value < minValue)
        value = minValue;
    if (hasMax && value > maxValue)
        value = maxValue;
    // An integer is cut to its type's range and truncated (NaN is 0): converting a double outside the
    // range would be undefined behaviour.
    if (auto range = integerRange(*this))
        return std::isnan(value) ? 0.0 : std::trunc(std::min(std::max(value, range->first), range->second));
    if (numericType == MFnNumericData::kBoolean)
        return value != 0.0 ? 1.0 : 0.0;
    if (numericType == MFnNumericData::kFloat)
        return static_cast<double>(static_cast<float>(value));
    return value;
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
