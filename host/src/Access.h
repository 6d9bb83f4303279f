// Access: what an MObject refers to, for the API implementation.
#pragma once

#include "Attribute.h"
#include "Data.h"
#include "Faults.h"
#include "Node.h"

#include <maya/MObject.h>
#include <maya/MString.h>

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

// Attaches a function set (its object `target`) to `object` when `fits`; the operation `op`, when
// given, may be made to fail first.
inline MStatus attach(const char* op, bool fits, MObject& target, const MObject& object) {
    MStatus status;
    if (op && fault(op, &status))
        return status;
    if (!fits)
        return MStatus::kInvalidParameter;
    target = object;
    return MStatus::kSuccess;
}

inline bool isAttribute(const MObject& o, Attribute::Kind kind) {
    auto a = asAttribute(o);
    return a && a->kind == kind;
}

// Attaches a function set to the object it has just made (its object `target`), with kSuccess.
inline MObject adopt(MObject& target, const MObject& made, MStatus* ReturnStatus) {
    target = made;
    setStatus(ReturnStatus, MStatus::kSuccess);
    return target;
}

// Applies `apply` to the attribute `o`: kSuccess, or kInvalidParameter when `o` is no attribute.
template <typename F> MStatus withAttribute(const MObject& o, F apply) {
    auto a = asAttribute(o);
    if (!a)
        return MStatus::kInvalidParameter;
    apply(*a);
    return MStatus::kSuccess;
}

// A new attribute of `kind` named fullName (briefName when given, fullName otherwise), for the
// function set's create `op` (which may be made to fail first): null with kNotImplemented when the
// attribute's type is not `supported`, with kInvalidParameter when fullName is empty.
inline std::shared_ptr<Attribute> newAttribute(const char* op, bool supported, const MString& fullName,
                                               const MString& briefName, Attribute::Kind kind,
                                               MStatus* ReturnStatus) {
    if (fault(op, ReturnStatus))
        return nullptr;
    if (!supported || fullName.isEmpty()) {
        setStatus(ReturnStatus, supported ? MStatus::kInvalidParameter : MStatus::kNotImplemented);
        return nullptr;
    }
    auto a = std::make_shared<Attribute>();
    a->longName = fullName.str();
    a->shortName = briefName.isEmpty() ? fullName.str() : briefName.str();
    a->kind = kind;
    return a;
}

inline MObject wrap(const std::shared_ptr<Data>& d) {
    return d ? MObject(d) : MObject();
}

} // namespace gxhost
