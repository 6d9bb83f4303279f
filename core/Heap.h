// Heap: binary min-heap of shared edges on a comparison (the engine passes edgeLess). Each edge keeps
// its own position in `heapIndex`, so update() and remove() need no search.
#pragma once

#include "Edge.h"

#include <vector>

namespace gdx {

class Heap {
public:
    using Less = bool (*)(const EdgePtr&, const EdgePtr&);

    Heap(uint32_t reserveCount, Less less);

    uint32_t size() const { return uint32_t(items_.size()); }
    const EdgePtr& top() const { return items_[0]; }
    const std::vector<EdgePtr>& items() const { return items_; }

    // Adds at the end without restoring the order; siftUpLast() or rebuild() must follow.
    void append(const EdgePtr& item);
    void siftUpLast();
    // Restores the order after the item's cost changed.
    void update(const EdgePtr& item);
    // Takes the item out; its heapIndex becomes NOT_IN_HEAP.
    void remove(const EdgePtr& item);
    void rebuild();

private:
    void siftUp(uint32_t i);
    void siftDown(uint32_t i);
    void place(EdgePtr&& item, uint32_t i) {
        item->heapIndex = i;
        items_[i] = std::move(item);
    }

    std::vector<EdgePtr> items_;
    Less less_;
};

} // namespace gdx
