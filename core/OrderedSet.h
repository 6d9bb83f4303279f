// OrderedSet: a small ordered set of plain values, kept as a sorted array. The model's wedge sets and
// the records' wedge pairs hold a handful of entries; a sorted inline array beats a tree there and
// iterates in the same ascending order.
#pragma once

#include "SmallVector.h"

namespace gdx {

template <typename T, uint32_t N> class OrderedSet {
public:
    // Inserts v unless present; returns whether it was inserted.
    bool insert(const T& v) {
        uint32_t i = items_.size();
        while (i > 0 && v < items_[i - 1])
            --i;
        if (i > 0 && !(items_[i - 1] < v))
            return false;
        items_.insert(i, v);
        return true;
    }
    bool contains(const T& v) const {
        for (const T& x : items_)
            if (!(x < v) && !(v < x))
                return true;
        return false;
    }
    void erase(uint32_t index) { items_.erase(index); }
    void clear() { items_.clear(); }
    uint32_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const T& operator[](uint32_t i) const { return items_[i]; }
    const T* begin() const { return items_.begin(); }
    const T* end() const { return items_.end(); }

private:
    SmallVector<T, N> items_;
};

} // namespace gdx
