#include "Heap.h"

#include <gtest/gtest.h>

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
