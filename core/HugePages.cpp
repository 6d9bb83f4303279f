#include "HugePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gdx {

#if defined(__linux__)
namespace {

constexpr std::uintptr_t kPage = 4096, kHugePage = std::uintptr_t(2) << 20;

// Calls madvise on the whole pages of `page` bytes inside [data, data + bytes), if any; failure is
// harmless to every caller (the advice only changes how memory is backed).
void adviseInside(const void* data, std::size_t bytes, std::uintptr_t page, int advice) {
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

} // namespace

void adviseHugePages(const void* data, std::size_t bytes) {
    adviseInside(data, bytes, kHugePage, MADV_HUGEPAGE);
}

void populatePages(const void* data, std::size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
    adviseInside(data, bytes, kPage, MADV_POPULATE_WRITE);
#else
    (void)data, (void)bytes, (void)kPage;
#endif
}

void releasePages(const void* data, std::size_t bytes) {
    adviseInside(data, bytes, kHugePage, MADV_DONTNEED);
}
#else
void adviseHugePages(const void*, std::size_t) {}
void populatePages(const void*, std::size_t) {}
void releasePages(const void*, std::size_t) {}
#endif

} // namespace gdx
