// MFnBase: the base of every function set. A function set operates on the object it is attached to.
#pragma once

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnBase {
public:
    MFnBase() = default;
    virtual ~MFnBase() = default;

    virtual MFn::Type type() const { return MFn::kBase; }
    MObject object(MStatus* ReturnStatus = nullptr) const;
    virtual MStatus setObject(const MObject& object);
    bool hasObj(MFn::Type type) const { return obj_.hasFn(type); }

protected:
    MObject obj_;
};
