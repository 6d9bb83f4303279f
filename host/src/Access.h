// Access: what an MObject refers to, for the API implementation.
#pragma once

#include "Attribute.h"
#include "Data.h"
#include "Faults.h"
#include "Node.h"

#include <maya/MObject.h>

#include <memory>

namespace gxhost {

inline Node* asNode(const MObject& o) {
    auto* n = dynamic_cast<Node*>(o.impl().get());
    return n && n->alive ? n : nullptr;
}

inline std::shared_ptr<Attribute> asAttribute(const MObject& o) {
    return std::dynamic_pointer_cast<Attribute>(o.impl());
}

template <typename T> std::shared_ptr<T> asData(const MObject& o) {
    return std::dynamic_pointer_cast<T>(o.impl());
}

// Attaches a data function set (its object `target`) to `object` when that holds data of kind T;
// the operation `op` may be made to fail first.
template <typename T> MStatus attachData(const char* op, MObject& target, const MObject& object) {
    MStatus status;
    if (fault(op, &status))
        return status;
    if (!asData<T>(object))
        return MStatus::kInvalidParameter;
    target = object;
    return MStatus::kSuccess;
}

inline MObject wrap(const std::shared_ptr<Data>& d) {
    return d ? MObject(d) : MObject();
}

} // namespace gxhost
