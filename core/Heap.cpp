#include "Heap.h"

#include "HugePages.h"

namespace gdx {

void Heap::reserve(uint32_t count) {
    reserveHuge(items_, count);
}

void Heap::populate(uint32_t count) const {
    populateReserved(items_, count);
}

void Heap::releaseSpare() const {
    gdx::releaseSpare(items_);
}

void Heap::append(uint32_t edge) {
    edges_[edge].heapIndex = uint32_t(items_.size());
    items_.push_back(itemOf(edge));
}

void Heap::siftUpLast() {
    if (!items_.empty())
        siftUp(uint32_t(items_.size() - 1), items_.back());
}

// Four children per node: half the levels of a binary heap, and a node's children share one or
// two cache lines, so a sift touches fewer lines of the large queue.
void Heap::siftUp(uint32_t i, Item x) {
    while (i > 0) {
        const uint32_t p = (i - 1) / kArity;
        if (!less(x, items_[p]))
            break;
        place(items_[p], i);
        i = p;
    }
    place(x, i);
}

void Heap::siftDown(uint32_t i, Item x) {
    const uint32_t n = uint32_t(items_.size());
    for (;;) {
        const uint32_t first = kArity * i + 1;
        if (first >= n)
            break;
        const uint32_t end = first + kArity < n ? first + kArity : n;
        uint32_t child = first;
        for (uint32_t c = first + 1; c < end; ++c)
            if (less(items_[c], items_[child]))
                child = c;
        if (!less(items_[child], x))
            break;
        place(items_[child], i);
        i = child;
    }
    place(x, i);
}

void Heap::update(uint32_t edge) {
    const uint32_t i = edges_[edge].heapIndex;
    const Item x = itemOf(edge);
    items_[i] = x;
    if (i > 0 && less(x, items_[(i - 1) / kArity]))
        siftUp(i, x);
    else if (i + 1 < items_.size())
        siftDown(i, x);
}

void Heap::remove(uint32_t edge) {
    const uint32_t i = edges_[edge].heapIndex;
    const Item removed = items_[i];
    detach(edge);
    if (i == items_.size())
        return;
    const Item moved = items_[i];
    if (less(moved, removed))
        siftUp(i, moved);
    else if (i + 1 < items_.size())
        siftDown(i, moved);
}

void Heap::detach(uint32_t edge) {
    const uint32_t i = edges_[edge].heapIndex;
    edges_[edge].heapIndex = NOT_IN_HEAP;
    const Item last = items_.back();
    items_.pop_back();
    if (i < items_.size())
        place(last, i);
}

void Heap::rebuild() {
    for (Item& item : items_)
        item = itemOf(item.edge);
    const uint32_t n = uint32_t(items_.size());
    if (n < 2)
        return;
    for (uint32_t i = (n - 2) / kArity + 1; i-- > 0;)
        siftDown(i, items_[i]);
}

} // namespace gdx
