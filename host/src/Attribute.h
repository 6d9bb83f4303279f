// Attribute: the description of one attribute (names, kind, default, flags). Static attributes
// belong to a node type, dynamic ones to a single node.
#pragma once

#include "Object.h"

#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gxhost {

class Data;
struct NodeType;

class Attribute : public Object {
public:
    enum class Kind { Numeric, Typed, Enum };

    MFn::Type apiType() const override {
        return kind == Kind::Numeric ? MFn::kNumericAttribute
                                     : (kind == Kind::Typed ? MFn::kTypedAttribute : MFn::kEnumAttribute);
    }
    bool hasFn(MFn::Type type) const override { return type == MFn::kAttribute || Object::hasFn(type); }
    const char* apiTypeStr() const override {
        return kind == Kind::Numeric ? "kNumericAttribute"
                                     : (kind == Kind::Typed ? "kTypedAttribute" : "kEnumAttribute");
    }

    // Rounds a number to what the attribute stores (float precision, whole shorts, 0/1 for booleans)
    // and applies the minimum/maximum.
    double storedNumber(double value) const;
    // False when `value` is outside what the attribute's type holds (NaN for an integer type), so
    // that callers can refuse it instead of letting it be clamped.
    bool holds(double value) const;
    // Whether a data object may be stored in this attribute.
    bool accepts(const Data& data) const;
    const char* kindName() const;

    std::string longName, shortName;
    Kind kind = Kind::Numeric;
    MFnNumericData::Type numericType = MFnNumericData::kDouble;
    MFnData::Type dataType = MFnData::kInvalid;
    unsigned int pluginTypeId = 0; // for dataType == kPlugin
    double defaultNumber = 0.0;
    std::shared_ptr<Data> defaultData;
    std::vector<std::pair<std::string, short>> fields;
    bool hasMin = false, hasMax = false;
    double minValue = 0.0, maxValue = 0.0;

    bool readable = true, writable = true, storable = true, keyable = false, internal = false;
    bool connectable = true, hidden = false, cached = true;

    bool added = false; // to a node type or a node; an added attribute cannot be added again
};

} // namespace gxhost
