// MDataBlock: a node's attribute values during compute. inputValue evaluates the input first (and
// delivers a pending internal value to setInternalValue); outputValue gives the slot to write.
#pragma once

#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

class MDataBlock {
public:
    MDataHandle inputValue(const MPlug& plug, MStatus* ReturnStatus = nullptr);
    MDataHandle inputValue(const MObject& attribute, MStatus* ReturnStatus = nullptr);
    MDataHandle outputValue(const MPlug& plug, MStatus* ReturnStatus = nullptr);
    MDataHandle outputValue(const MObject& attribute, MStatus* ReturnStatus = nullptr);
    MStatus setClean(const MPlug& plug);
    MStatus setClean(const MObject& attribute);
    bool isClean(const MObject& attribute, MStatus* ReturnStatus = nullptr);
    bool isClean(const MPlug& plug);

    // Host side.
    explicit MDataBlock(gxhost::Node* node) : node_(node) {}

private:
    MDataHandle input(const MObject& attribute, const char* op, MStatus* ReturnStatus);
    MDataHandle output(const MObject& attribute, const char* op, MStatus* ReturnStatus);
    gxhost::Node* node_;
};
