#include "ImportLimits.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace gxhost {
namespace {

ImportLimits gLimits;
// Signed: a block freed here that another allocator handed out must not wrap the count around.
std::atomic<int64_t> gLive{0};
constexpr int64_t kNoCeiling = std::numeric_limits<int64_t>::max();
std::atomic<int64_t> gCeiling{kNoCeiling};
std::atomic<bool> gRefused{false};

void* counted(size_t size) {
    const int64_t ceiling = gCeiling.load(std::memory_order_relaxed);
    if (ceiling != kNoCeiling &&
        (size > static_cast<uint64_t>(kNoCeiling) ||
         gLive.load(std::memory_order_relaxed) > ceiling - static_cast<int64_t>(size))) {
        gRefused.store(true, std::memory_order_relaxed);
        return nullptr;
    }
    void* p = std::malloc(size ? size : 1);
    if (p)
        gLive.fetch_add(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
}

void release(void* p) noexcept {
    if (!p)
        return;
    gLive.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

} // namespace

void setImportLimits(const ImportLimits& limits) {
    gLimits = limits;
}

const ImportLimits& importLimits() {
    return gLimits;
}

MemoryCeiling::MemoryCeiling(uint64_t budget) {
    gRefused = false;
    const int64_t live = std::max<int64_t>(gLive.load(), 0);
    const uint64_t room = static_cast<uint64_t>(kNoCeiling - 1 - live);
    gCeiling = live + static_cast<int64_t>(budget < room ? budget : room);
}

MemoryCeiling::~MemoryCeiling() {
    gCeiling = kNoCeiling;
}

bool MemoryCeiling::refused() const {
    return gRefused.load();
}

} // namespace gxhost

// The program's allocation functions, so that the ceiling sees what every library allocates. Aligned
// forms are left to the runtime: they pair among themselves and are not counted.
void* operator new(size_t size) {
    if (void* p = gxhost::counted(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return gxhost::counted(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return gxhost::counted(size);
}
void operator delete(void* p) noexcept {
    gxhost::release(p);
}
void operator delete[](void* p) noexcept {
    gxhost::release(p);
}
void operator delete(void* p, size_t) noexcept {
    gxhost::release(p);
}
void operator delete[](void* p, size_t) noexcept {
    gxhost::release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    gxhost::release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    gxhost::release(p);
}
