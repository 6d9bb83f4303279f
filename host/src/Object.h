// Object: what an MObject refers to. Nodes, attributes, data values and plug-ins derive from it.
#pragma once

#include <maya/MFn.h>

namespace gxhost {

class Object {
public:
    virtual ~Object() = default;
    virtual MFn::Type apiType() const = 0;
    virtual bool hasFn(MFn::Type type) const { return type == MFn::kBase || type == apiType(); }
    virtual const char* apiTypeStr() const = 0;
};

} // namespace gxhost
