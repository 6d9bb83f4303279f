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

// Declares what every function set has: an empty constructor and the type it reports (`Kind`, an
// MFn::Type).
#define GX_FUNCTION_SET(Class, Kind)                                                                         \
public:                                                                                                      \
    Class() = default;                                                                                       \
    MFn::Type type() const override {                                                                        \
        return Kind;                                                                                         \
    }

// The same for a function set that attaches to an object: constructed from one, it attaches as
// setObject does, which refuses objects the set cannot work on; ReturnStatus says whether it did.
#define GX_ATTACHING_FUNCTION_SET(Class, Kind)                                                               \
    GX_FUNCTION_SET(Class, Kind)                                                                             \
    Class(const MObject& object, MStatus* ReturnStatus = nullptr) {                                          \
        MStatus status = setObject(object);                                                                  \
        if (ReturnStatus)                                                                                    \
            *ReturnStatus = status;                                                                          \
    }                                                                                                        \
    MStatus setObject(const MObject& object) override;
