// Large engine arrays backed by 2 MiB pages where the kernel allows it (Linux transparent huge pages
// in "madvise" mode, Debian's default). Filling a fresh array then takes one page fault per 2 MiB
// instead of one per 4 KiB: a million triangles need a few hundred MiB, and on a virtual machine
// the small-page faults alone cost about a second of the first simplification. Only the pages'
// size changes, never the contents.
//
//   reserveHuge(edges, n);            // capacity for n, not yet touched, advised
//   resizeHuge(quadrics, n, 0.0);     // the same, then filled
#pragma once

#include <cstddef>

namespace gdx {

// Advises the whole 2 MiB pages inside [data, data + bytes); smaller ranges are left alone.
void adviseHugePages(const void* data, std::size_t bytes);

template <typename V> void reserveHuge(V& v, std::size_t n) {
    if (n <= v.capacity())
        return; // already there (and perhaps touched)
    v.reserve(n);
    adviseHugePages(v.data(), v.capacity() * sizeof(typename V::value_type));
}

// Writes one byte in every 4 KiB page of [data, data + bytes), so that the kernel backs (and zeroes)
// them now: on another thread, while this one works, the page faults of an array about to be
// filled are taken off the critical path.
void touchPages(void* data, std::size_t bytes);

// The same for the first n elements of v's reserved storage (not yet constructed).
template <typename V> void touchReserved(V& v, std::size_t n) {
    touchPages(static_cast<void*>(v.data()),
               (n < v.capacity() ? n : v.capacity()) * sizeof(typename V::value_type));
}

template <typename V, typename... Fill> void resizeHuge(V& v, std::size_t n, const Fill&... fill) {
    reserveHuge(v, n);
    v.resize(n, fill...);
}

} // namespace gdx
