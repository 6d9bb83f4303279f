#include "Heap.h"

#include <utility>

namespace gdx {

Heap::Heap(uint32_t reserveCount, Less less) : less_(less) {
    items_.reserve(reserveCount);
}

void Heap::append(const EdgePtr& item) {
    item->heapIndex = uint32_t(items_.size());
    items_.push_back(item);
}

void Heap::siftUpLast() {
    if (!items_.empty())
        siftUp(uint32_t(items_.size() - 1));
}

void Heap::siftUp(uint32_t i) {
    EdgePtr x = std::move(items_[i]);
    while (i > 0) {
        const uint32_t p = (i - 1) / 2;
        if (!less_(x, items_[p]))
            break;
        place(std::move(items_[p]), i);
        i = p;
    }
    place(std::move(x), i);
}

void Heap::siftDown(uint32_t i) {
    EdgePtr x = std::move(items_[i]);
    const uint32_t last = uint32_t(items_.size() - 1);
    uint32_t child = 2 * i + 1;
    if (child < last && less_(items_[child + 1], items_[child]))
        ++child;
    while (child <= last) {
        if (!less_(items_[child], x))
            break;
        place(std::move(items_[child]), i);
        i = child;
        child = 2 * i + 1;
        if (child < last && less_(items_[child + 1], items_[child]))
            ++child;
    }
    place(std::move(x), i);
}

void Heap::update(const EdgePtr& item) {
    const uint32_t i = item->heapIndex;
    if (i > 0 && less_(item, items_[(i - 1) / 2]))
        siftUp(i);
    else if (i + 1 < items_.size())
        siftDown(i);
}

void Heap::remove(const EdgePtr& item) {
    const uint32_t i = item->heapIndex;
    item->heapIndex = NOT_IN_HEAP;
    const uint32_t lastIndex = uint32_t(items_.size() - 1);
    if (i == lastIndex) {
        items_.pop_back();
        return;
    }
    // `item` may be a reference to items_[i] itself; keep the edge alive while comparing with it.
    EdgePtr removed = item;
    place(std::move(items_[lastIndex]), i);
    items_.pop_back();
    if (less_(items_[i], removed))
        siftUp(i);
    else if (i + 1 < items_.size())
        siftDown(i);
}

void Heap::rebuild() {
    const uint32_t n = uint32_t(items_.size());
    if (n < 2)
        return;
    for (uint32_t i = n / 2; i-- > 0;)
        siftDown(i);
}

} // namespace gdx
