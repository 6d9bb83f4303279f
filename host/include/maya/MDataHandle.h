// MDataHandle: access to one attribute's value inside a node's data block. Handles are obtained from
// MDataBlock (in compute) or given to setInternalValue/getInternalValue.
#pragma once

#include <maya/MFnData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MPxData;

namespace gxhost {
class Node;
class Attribute;
struct Slot;
} // namespace gxhost

class MDataHandle {
public:
    MDataHandle() = default;

    bool isNumeric() const;
    MFnData::Type type() const;

    double asDouble() const;
    float asFloat() const;
    int asInt() const;
    int asLong() const { return asInt(); }
    short asShort() const;
    bool asBool() const;
    char asChar() const { return static_cast<char>(asInt()); }
    // The data object; asMesh gives the null object unless the value is mesh data.
    MObject data() const;
    MObject asMesh() const;
    MPxData* asPluginData() const;

    void set(double value) const;
    void set(float value) const;
    void set(int value) const;
    void set(short value) const;
    void set(bool value) const;
    // Fails when the data kind does not fit the attribute (for example the wrong plug-in data type).
    MStatus set(const MObject& data) const;
    MStatus setMObject(const MObject& data) const { return set(data); }
    void setClean() const;

    // Host side.
    MDataHandle(gxhost::Node* node, int attribute);
    bool valid() const { return node_ != nullptr; }

private:
    void setNumeric(double value) const;
    gxhost::Slot* slot() const;
    gxhost::Node* node_ = nullptr;
    int attr_ = -1;
};
