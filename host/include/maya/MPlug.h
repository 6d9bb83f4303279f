// MPlug: one attribute of one node. Reading a plug evaluates it (pulling through connections and
// running compute when it is dirty); writing it stores the value and marks what it affects dirty.
#pragma once

#include <maya/MDGContext.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MPlugArray;

class MPlug {
public:
    MPlug() = default;
    MPlug(const MObject& node, const MObject& attribute);

    bool isNull(MStatus* ReturnStatus = nullptr) const;
    MObject node(MStatus* ReturnStatus = nullptr) const;
    MObject attribute(MStatus* ReturnStatus = nullptr) const;
    // "node.longName"
    MString name(MStatus* ReturnStatus = nullptr) const;
    // "node.shortName"
    MString partialName(MStatus* ReturnStatus = nullptr) const;
    MString info(MStatus* ReturnStatus = nullptr) const { return name(ReturnStatus); }

    bool isConnected(MStatus* ReturnStatus = nullptr) const;
    // Plugs connected to this one: its source when asDst, its destinations when asSrc.
    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = nullptr) const;

    MStatus getValue(MObject& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(double& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(float& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(int& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(short& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(bool& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MString& value, MDGContext& ctx = MDGContext::fsNormal) const;

    MStatus setValue(const MObject& value);
    MStatus setValue(double value);
    MStatus setValue(float value);
    MStatus setValue(int value);
    MStatus setValue(short value);
    MStatus setValue(bool value);

    double asDouble(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;
    float asFloat(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;
    int asInt(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;
    short asShort(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;
    bool asBool(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;
    MObject asMObject(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = nullptr) const;

    bool operator==(const MPlug& other) const { return node_ == other.node_ && attr_ == other.attr_; }
    bool operator!=(const MPlug& other) const { return !(*this == other); }

private:
    MObject node_;
    MObject attr_;
};

#include <maya/MPlugArray.h>
