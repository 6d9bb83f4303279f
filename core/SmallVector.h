// A growable array of trivially copyable values that keeps its first N entries inline. The core's
// records and quadrics hold a few entries each, millions of times over: inline storage avoids a heap
// allocation per record and per quadric, and clear() keeps capacity so scratch instances never
// reallocate once warm.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace gdx {

template <typename T, uint32_t N> class SmallVector {
    static_assert(std::is_trivially_copyable<T>::value, "SmallVector holds plain values only");

public:
    SmallVector() noexcept {}
    SmallVector(const SmallVector& o) { assign(o); }
    SmallVector(SmallVector&& o) noexcept { take(o); }
    SmallVector& operator=(const SmallVector& o) {
        if (this != &o) {
            size_ = 0;
            assign(o);
        }
        return *this;
    }
    SmallVector& operator=(SmallVector&& o) noexcept {
        if (this != &o) {
            release();
            take(o);
        }
        return *this;
    }
    ~SmallVector() { release(); }

    uint32_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint32_t capacity() const { return capacity_; }
    T* data() { return isInline() ? reinterpret_cast<T*>(inline_) : heap_; }
    const T* data() const { return isInline() ? reinterpret_cast<const T*>(inline_) : heap_; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](uint32_t i) { return data()[i]; }
    const T& operator[](uint32_t i) const { return data()[i]; }
    T& back() { return data()[size_ - 1]; }
    const T& back() const { return data()[size_ - 1]; }

    // The index of the first entry equal to v, size() when there is none. Sixteen entries at a time
    // without a branch each, which the compiler turns into vector compares: a fan's hub has lists
    // of thousands.
    uint32_t find(const T& v) const {
        const T* p = data();
        uint32_t i = 0;
        for (; i + 16 <= size_; i += 16) {
            bool any = false;
            for (uint32_t j = 0; j < 16; ++j)
                any |= p[i + j] == v;
            if (any)
                break;
        }
        for (; i < size_; ++i)
            if (p[i] == v)
                return i;
        return size_;
    }

    void clear() { size_ = 0; }
    void push_back(const T& v) {
        if (size_ == capacity_) {
            T copy = v; // v may live in our own buffer
            grow(capacity_ * 2);
            data()[size_++] = copy;
            return;
        }
        data()[size_++] = v;
    }
    void pop_back() { --size_; }
    void reserve(uint32_t n) {
        if (n > capacity_)
            grow(n);
    }
    // New entries are left uninitialised unless a fill value is given.
    void resize(uint32_t n) {
        reserve(n);
        size_ = n;
    }
    void resize(uint32_t n, const T& fill) {
        reserve(n);
        for (uint32_t i = size_; i < n; ++i)
            data()[i] = fill;
        size_ = n;
    }
    void insert(uint32_t pos, const T& v) {
        T copy = v;
        reserve(size_ + 1);
        T* p = data();
        std::memmove(static_cast<void*>(p + pos + 1), p + pos, (size_ - pos) * sizeof(T));
        p[pos] = copy;
        ++size_;
    }
    void erase(uint32_t pos) {
        T* p = data();
        std::memmove(static_cast<void*>(p + pos), p + pos + 1, (size_ - pos - 1) * sizeof(T));
        --size_;
    }

private:
    // Inline while the capacity is N; a grown buffer holds at least 2N.
    bool isInline() const { return capacity_ == N; }
    void grow(uint32_t n) {
        if (n < 2 * N)
            n = 2 * N;
        T* fresh = static_cast<T*>(std::malloc(sizeof(T) * n));
        if (!fresh)
            throw std::bad_alloc();
        std::memcpy(static_cast<void*>(fresh), data(), sizeof(T) * size_);
        if (!isInline())
            std::free(heap_);
        heap_ = fresh;
        capacity_ = n;
    }
    void assign(const SmallVector& o) {
        reserve(o.size_);
        std::memcpy(static_cast<void*>(data()), o.data(), sizeof(T) * o.size_);
        size_ = o.size_;
    }
    void take(SmallVector& o) {
        if (o.isInline()) {
            capacity_ = N;
            std::memcpy(static_cast<void*>(inline_), o.inline_, sizeof(T) * o.size_);
        } else {
            heap_ = o.heap_;
            capacity_ = o.capacity_;
            o.capacity_ = N;
        }
        size_ = o.size_;
        o.size_ = 0;
    }
    void release() {
        if (!isInline())
            std::free(heap_);
        capacity_ = N;
        size_ = 0;
    }

    // The buffer is the inline storage or a pointer to the heap, never both: a per-vertex list of
    // six indices takes 32 bytes instead of 40.
    uint32_t size_ = 0;
    uint32_t capacity_ = N;
    union {
        alignas(T) unsigned char inline_[sizeof(T) * N];
        T* heap_;
    };
};

} // namespace gdx
