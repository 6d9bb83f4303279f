// MObject: a handle on a host object (a node, an attribute, a data value, a plug-in). Copies of a
// handle refer to the same object; the null handle refers to nothing.
#pragma once

#include <maya/MFn.h>

#include <memory>

namespace gxhost {
class Object;
}

class MObject {
public:
    MObject() = default;
    explicit MObject(std::shared_ptr<gxhost::Object> object) : obj_(std::move(object)) {}

    bool isNull() const { return !obj_; }
    MFn::Type apiType() const;
    bool hasFn(MFn::Type type) const;
    const char* apiTypeStr() const;
    bool operator==(const MObject& other) const { return obj_ == other.obj_; }
    bool operator!=(const MObject& other) const { return obj_ != other.obj_; }

    static const MObject kNullObj;

    // Host side: the object behind the handle.
    const std::shared_ptr<gxhost::Object>& impl() const { return obj_; }

private:
    std::shared_ptr<gxhost::Object> obj_;
};
