// Faults: test-driven failure of named host operations ("MFnMesh::create", "MPlug::getValue", ...).
// An operation calls fault() on entry; when an armed fault fires, the operation fails with its status.
#pragma once

#include <maya/MStatus.h>

#include <atomic>
#include <type_traits>

namespace gxhost {

// Whether any fault is armed, and the lookup of one by name: most runs arm none, and then the
// check every host operation makes on entry reads one flag.
extern std::atomic<bool> gFaultsArmed;
bool armedFault(const char* op, MStatus* status);

// True when the named operation must fail now; the status is stored in *status when given.
inline bool fault(const char* op, MStatus* status = nullptr) {
    return gFaultsArmed.load(std::memory_order_relaxed) && armedFault(op, status);
}

inline void setStatus(MStatus* out, MStatus value) {
    if (out)
        *out = value;
}

// What `read` takes from `*p` (what a function set works on, an argument), with kSuccess; an empty
// value (0, false, null, "") with kInvalidParameter when `p` is null.
template <typename P, typename F> auto readFrom(const P& p, MStatus* ReturnStatus, F read) {
    using T = std::decay_t<decltype(read(*p))>;
    setStatus(ReturnStatus, p ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return p ? T(read(*p)) : T();
}

} // namespace gxhost
