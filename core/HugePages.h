// Large engine arrays backed by 2 MiB pages where the kernel allows it (Linux transparent huge pages
// in "madvise" mode, Debian's default). Filling a fresh array then takes one page fault per 2 MiB
// instead of one per 4 KiB: a million triangles need a few hundred MiB, and on a virtual machine
// the small-page faults alone cost about a second of the first simplification. Only the pages'
// size changes, never the contents.
//
//   reserveHuge(edges, n);            // capacity for n, not yet touched, advised
//   resizeHuge(weights, n, 1.0f);     // the same, then filled
//   populatePages(edges.data(), bytes);   // backed now, on a thread that has time for it
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace gdx {

// Advises the whole 2 MiB pages inside [data, data + bytes); smaller ranges are left alone.
void adviseHugePages(const void* data, std::size_t bytes);

template <typename V> void reserveHuge(V& v, std::size_t n) {
    if (n <= v.capacity())
        return; // already there (and perhaps touched)
    v.reserve(n);
    adviseHugePages(v.data(), v.capacity() * sizeof(typename V::value_type));
}

// Has the kernel back [data, data + bytes) with written pages now (Linux's MADV_POPULATE_WRITE),
// leaving any contents as they are, so it is safe while another thread fills the range: run on a
// thread with time to spare, it takes the page faults of an array about to be filled off the
// thread that fills it. Pages already backed are skipped; where the kernel cannot, nothing happens.
void populatePages(const void* data, std::size_t bytes);

// The same for the first n elements of v's storage, constructed or only reserved.
template <typename V> void populateReserved(const V& v, std::size_t n) {
    populatePages(v.data(), (n < v.capacity() ? n : v.capacity()) * sizeof(typename V::value_type));
}

// Gives the whole 2 MiB pages inside [data, data + bytes) back to the kernel (MADV_DONTNEED): for
// the storage past an array's last element, which is written again before it is read. It reads as
// zeros when next touched. Huge pages only, so that the pages still in use are not split.
void releasePages(const void* data, std::size_t bytes);
// The same for v's storage past its last element.
template <typename V> void releaseSpare(const V& v) {
    releasePages(v.data() + v.size(), (v.capacity() - v.size()) * sizeof(typename V::value_type));
}
// An allocator whose resize(n) writes nothing: value-initialising an element is left out. Fresh
// storage comes from calloc (a large block straight from the kernel's zeroed pages, untouched), so
// elements of new storage read as zero until used: an array of numbers that start at zero costs no
// writing. Elements made again after a shrink keep whatever bytes were there: for such use the
// owner writes them before reading. Only for types whose value-initialised state is all zero bytes.
template <typename T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <typename U> ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(T)))
            return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <typename U> void construct(U*) {} // value-initialised: zero, as allocated
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U> bool operator==(const ZeroedAllocator<U>&) const { return true; }
    template <typename U> bool operator!=(const ZeroedAllocator<U>&) const { return false; }
};

template <typename V, typename... Fill> void resizeHuge(V& v, std::size_t n, const Fill&... fill) {
    reserveHuge(v, n);
    v.resize(n, fill...);
}

} // namespace gdx
