// Faults: test-driven failure of named host operations ("MFnMesh::create", "MPlug::getValue", ...).
// An operation calls fault() on entry; when an armed fault fires, the operation fails with its status.
#pragma once

#include <maya/MStatus.h>

namespace gxhost {

// True when the named operation must fail now; the status is stored in *status when given.
bool fault(const char* op, MStatus* status = nullptr);

inline void setStatus(MStatus* out, MStatus value) {
    if (out)
        *out = value;
}

} // namespace gxhost
