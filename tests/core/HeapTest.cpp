#include "Heap.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <algorithm>
#include <random>

using namespace gdx;

namespace {
struct Pool {
    std::vector<Edge> edges;
    Heap heap{edges};

    uint32_t add(uint32_t a, uint32_t b, float error) {
        edges.emplace_back(a, b);
        edges.back().setError(error);
        return uint32_t(edges.size() - 1);
    }
    void insert(uint32_t e) {
        heap.append(e);
        heap.siftUpLast();
    }
};

void expectHeapOrder(const Pool& p) {
    const auto& items = p.heap.items();
    for (uint32_t i = 0; i < items.size(); ++i) {
        const Edge& e = p.edges[items[i].edge];
        ASSERT_EQ(e.heapIndex, i);
        ASSERT_EQ(items[i].cost, e.cost()); // the entry's key is the edge's
        if (i > 0) {
            ASSERT_FALSE(edgeLess(e, p.edges[items[(i - 1) / 4].edge]))
                << "item " << i << " before its parent";
        }
    }
}

std::vector<std::pair<uint32_t, uint32_t>> drain(Pool& p) {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    while (p.heap.size() > 0) {
        const uint32_t top = p.heap.top();
        out.push_back({p.edges[top].first, p.edges[top].second});
        p.heap.remove(top);
        EXPECT_EQ(p.edges[top].heapIndex, NOT_IN_HEAP);
    }
    return out;
}
} // namespace

TEST(Heap, EqualCostsComeOutByVertexIndices) {
    Pool p;
    for (auto [a, b] : {std::pair{5u, 9u}, {1u, 7u}, {5u, 6u}, {1u, 2u}, {0u, 9u}})
        p.insert(p.add(a, b, 1.0f));
    p.insert(p.add(3, 4, 0.5f));
    expectHeapOrder(p);
    const std::vector<std::pair<uint32_t, uint32_t>> expected{{3, 4}, {0, 9}, {1, 2}, {1, 7}, {5, 6}, {5, 9}};
    EXPECT_EQ(drain(p), expected);
}

// Updates up and down, removals at the root, in the middle and at the end, and rebuilds, checked
// against the heap order and the edges' indices after every step.
TEST(Heap, RandomOperationsKeepOrderAndIndices) {
    std::mt19937 rng(11);
    Pool p;
    std::vector<uint32_t> live;
    for (int step = 0; step < 3000; ++step) {
        const uint32_t op = rng() % 4;
        if (op == 0 || live.size() < 3) {
            live.push_back(p.add(rng() % 50, rng() % 50, float(rng() % 20)));
            p.insert(live.back());
        } else if (op == 1) {
            const uint32_t e = live[rng() % live.size()];
            p.edges[e].setError(float(rng() % 20));
            p.edges[e].setWeight(float(1 + rng() % 3));
            p.heap.update(e);
        } else if (op == 2) {
            const size_t i = rng() % live.size();
            p.heap.remove(live[i]);
            live.erase(live.begin() + long(i));
        } else {
            for (uint32_t e : live)
                p.edges[e].setError(float(rng() % 20));
            p.heap.rebuild();
        }
        expectHeapOrder(p);
        ASSERT_EQ(p.heap.size(), live.size());
    }
    // Edges that compare equal have the same vertex pair, so the drained order is unique.
    std::vector<Edge> sorted;
    for (uint32_t e : live)
        sorted.push_back(p.edges[e]);
    std::sort(sorted.begin(), sorted.end(), edgeLess);
    std::vector<std::pair<uint32_t, uint32_t>> expected;
    for (const Edge& e : sorted)
        expected.push_back({e.first, e.second});
    EXPECT_EQ(drain(p), expected);
}

// After most entries are gone, the pages past the last one go back to the system (and only those):
// the entries left are untouched, and the queue grows into the released pages again.
TEST(Heap, ReleasedSparePagesLeaveTheEntriesAndFillAgain) {
    std::mt19937 rng(5);
    Pool p;
    const uint32_t n = 400000; // 6.4 MB of entries: several whole 2 MiB pages
    p.edges.reserve(2 * n);
    p.heap.reserve(2 * n);
    for (uint32_t i = 0; i < n; ++i)
        p.heap.append(p.add(rng() % 100000, rng() % 100000, float(rng() % 1000)));
    p.heap.rebuild();
    for (uint32_t i = 0; i < n - 20000; ++i)
        p.heap.remove(p.heap.top());
    const std::vector<Heap::Item> kept = p.heap.items();
    const auto& items = p.heap.items();
    const auto resident = [&] {
        const uintptr_t page = 4096,
                        begin = (uintptr_t(items.data() + items.size()) + page - 1) & ~(page - 1),
                        end = uintptr_t(items.data() + n) & ~(page - 1);
        std::vector<unsigned char> in((end - begin) / page);
        EXPECT_EQ(mincore(reinterpret_cast<void*>(begin), end - begin, in.data()), 0);
        return std::count_if(in.begin(), in.end(), [](unsigned char c) { return c & 1; });
    };
    const auto before = resident();
    p.heap.releaseSpare();
    EXPECT_LT(resident(), before / 2) << "pages past the last entry stay resident";
    ASSERT_EQ(items.size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i)
        ASSERT_TRUE(items[i].edge == kept[i].edge && items[i].cost == kept[i].cost) << i;
    for (uint32_t i = 0; i < n; ++i)
        p.insert(p.add(rng() % 100000, rng() % 100000, float(rng() % 1000)));
    expectHeapOrder(p);
}
