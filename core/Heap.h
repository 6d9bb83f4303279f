// Heap: 4-ary min-heap of edges in the edge order (cost, then vertex indices). Edges live in the
// caller's pool and are named by index; each heap entry carries a copy of its edge's sort key so
// that comparisons read one contiguous array, and each edge keeps its own position in `heapIndex`
// so that update() and remove() need no search. After an edge's cost or vertices change, update()
// (or rebuild() after many changes) takes the new key.
#pragma once

#include "Edge.h"

#include <vector>

namespace gdx {

class Heap {
public:
    struct Item {
        float cost;
        uint32_t first;
        uint32_t second;
        uint32_t edge; // index into the edge pool
    };

    explicit Heap(std::vector<Edge>& edges) : edges_(edges) {}

    uint32_t size() const { return uint32_t(items_.size()); }
    void reserve(uint32_t count);
    // Backs the storage of the first `count` entries with pages now (populatePages).
    void populate(uint32_t count) const;
    // Gives the pages past the last entry back: after a long run of removals (a decimation leaves
    // a tenth of the pairs queued) they are only memory the process holds.
    void releaseSpare() const;
    // The pool's pairs were moved: entry e now refers to moved(e).
    template <typename Map> void renumber(const Map& moved) {
        for (Item& item : items_)
            item.edge = moved(item.edge);
    }
    uint32_t top() const { return items_[0].edge; }
    const std::vector<Item>& items() const { return items_; }

    // Adds at the end without restoring the order; siftUpLast() or rebuild() must follow.
    void append(uint32_t edge);
    void siftUpLast();
    // Restores the order after the edge's cost (or vertices) changed.
    void update(uint32_t edge);
    // Takes the edge out; its heapIndex becomes NOT_IN_HEAP.
    void remove(uint32_t edge);
    // Takes the edge out without restoring the order (the last entry takes its place); rebuild()
    // must follow before the queue is asked for its top.
    void detach(uint32_t edge);
    // Takes every edge's current key and restores the order of the whole array.
    void rebuild();

private:
    static constexpr uint32_t kArity = 4;
    static bool less(const Item& x, const Item& y) {
        if (x.cost != y.cost)
            return x.cost < y.cost;
        return x.first < y.first || (x.first == y.first && x.second < y.second);
    }
    Item itemOf(uint32_t edge) const {
        const Edge& e = edges_[edge];
        return Item{e.cost(), e.first, e.second, edge};
    }
    void siftUp(uint32_t i, Item x);
    void siftDown(uint32_t i, Item x);
    void place(const Item& item, uint32_t i) {
        edges_[item.edge].heapIndex = i;
        items_[i] = item;
    }

    std::vector<Edge>& edges_;
    std::vector<Item> items_;
};

} // namespace gdx
