#include "Attribute.h"

#include "Data.h"

#include <cmath>

namespace gxhost {

double Attribute::storedNumber(double value) const {
    if (hasMin && value < minValue)
        value = minValue;
    if (hasMax && value > maxValue)
        value = maxValue;
    if (kind == Kind::Enum)
        return static_cast<double>(static_cast<short>(std::isnan(value) ? 0 : value));
    switch (numericType) {
    case MFnNumericData::kBoolean:
        return value != 0.0 ? 1.0 : 0.0;
    case MFnNumericData::kByte:
    case MFnNumericData::kChar:
        return static_cast<double>(static_cast<signed char>(std::isnan(value) ? 0 : value));
    case MFnNumericData::kShort:
        return static_cast<double>(static_cast<short>(std::isnan(value) ? 0 : value));
    case MFnNumericData::kInt:
        return static_cast<double>(static_cast<int>(std::isnan(value) ? 0 : value));
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
