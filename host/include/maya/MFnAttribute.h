// MFnAttribute: the flags and names of an attribute. The flags are enforced by the graph: a
// non-readable attribute cannot be a connection source, a non-writable one cannot be set or be a
// connection destination, an internal one passes every write through setInternalValue.
#pragma once

#include <maya/MFnBase.h>
#include <maya/MString.h>

class MFnAttribute : public MFnBase {
public:
    GX_ATTACHING_FUNCTION_SET(MFnAttribute, MFn::kAttribute)

    MString name(MStatus* ReturnStatus = nullptr) const;
    MString shortName(MStatus* ReturnStatus = nullptr) const;

    bool isReadable(MStatus* ReturnStatus = nullptr) const;
    bool isWritable(MStatus* ReturnStatus = nullptr) const;
    bool isStorable(MStatus* ReturnStatus = nullptr) const;
    bool isKeyable(MStatus* ReturnStatus = nullptr) const;
    bool isInternal(MStatus* ReturnStatus = nullptr) const;
    bool isConnectable(MStatus* ReturnStatus = nullptr) const;
    bool isHidden(MStatus* ReturnStatus = nullptr) const;
    bool isCached(MStatus* ReturnStatus = nullptr) const;

    MStatus setReadable(bool state);
    MStatus setWritable(bool state);
    MStatus setStorable(bool state);
    MStatus setKeyable(bool state);
    MStatus setInternal(bool state);
    MStatus setConnectable(bool state);
    MStatus setHidden(bool state);
    MStatus setCached(bool state);
    MStatus setArray(bool state);
};
