#include "Heap.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace gdx;

namespace {
EdgePtr edge(uint32_t a, uint32_t b, float error) {
    EdgePtr e = boost::make_shared<Edge>(a, b);
    e->setError(error);
    return e;
}

void expectHeapOrder(const Heap& h) {
    const auto& items = h.items();
    for (uint32_t i = 0; i < items.size(); ++i) {
        ASSERT_EQ(items[i]->heapIndex, i);
        if (i > 0) {
            ASSERT_FALSE(edgeLess(items[i], items[(i - 1) / 2])) << "item " << i << " before its parent";
        }
    }
}

std::vector<std::pair<uint32_t, uint32_t>> drain(Heap& h) {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    while (h.size() > 0) {
        EdgePtr top = h.top();
        out.push_back({top->first, top->second});
        h.remove(top);
        EXPECT_EQ(top->heapIndex, NOT_IN_HEAP);
    }
    return out;
}
} // namespace

TEST(Edge, KeepsVerticesOrderedAndCostIsWeightTimesError) {
    Edge e(9, 4);
    EXPECT_EQ(e.first, 4u);
    EXPECT_EQ(e.second, 9u);
    EXPECT_EQ(e.opposite(4), 9u);
    EXPECT_EQ(e.opposite(9), 4u);
    EXPECT_EQ(e.heapIndex, NOT_IN_HEAP);
    e.setError(2.5f);
    e.setWeight(4.0f);
    EXPECT_EQ(e.cost(), 10.0f);
}

TEST(Heap, EqualCostsComeOutByVertexIndices) {
    Heap h(8, edgeLess);
    for (auto [a, b] : {std::pair{5u, 9u}, {1u, 7u}, {5u, 6u}, {1u, 2u}, {0u, 9u}}) {
        h.append(edge(a, b, 1.0f));
        h.siftUpLast();
    }
    h.append(edge(3, 4, 0.5f));
    h.siftUpLast();
    expectHeapOrder(h);
    const auto order = drain(h);
    const std::vector<std::pair<uint32_t, uint32_t>> expected{{3, 4}, {0, 9}, {1, 2}, {1, 7}, {5, 6}, {5, 9}};
    EXPECT_EQ(order, expected);
}

TEST(Heap, UpdateMovesUpAndDown) {
    Heap h(8, edgeLess);
    std::vector<EdgePtr> edges;
    for (uint32_t i = 0; i < 7; ++i) {
        edges.push_back(edge(i, i + 1, float(i)));
        h.append(edges.back());
    }
    h.rebuild();
    expectHeapOrder(h);
    edges[6]->setError(-1.0f); // drops below its parent
    h.update(edges[6]);
    EXPECT_EQ(h.top(), edges[6]);
    edges[6]->setError(100.0f); // rises
    h.update(edges[6]);
    expectHeapOrder(h);
    EXPECT_EQ(h.top(), edges[0]);
    EXPECT_GE(edges[6]->heapIndex, 3u); // a leaf now
}

TEST(Heap, RemoveRootMiddleAndLast) {
    Heap h(4, edgeLess);
    const EdgePtr a = edge(0, 1, 1.0f), b = edge(1, 2, 3.0f), c = edge(2, 3, 2.0f);
    for (const EdgePtr& e : {a, b, c})
        h.append(e);
    h.rebuild();
    h.remove(h.top()); // the root: the cheaper of the two others moves up
    EXPECT_EQ(h.top(), c);
    EXPECT_EQ(a->heapIndex, NOT_IN_HEAP);
    expectHeapOrder(h);

    Heap g(4, edgeLess);
    for (const EdgePtr& e : {a, b, c}) {
        g.append(e);
        g.siftUpLast();
    }
    const EdgePtr last = g.items().back();
    const EdgePtr first = g.items()[0], middle = g.items()[1];
    g.remove(last); // the others are untouched
    EXPECT_EQ(g.items()[0], first);
    EXPECT_EQ(g.items()[1], middle);
    EXPECT_EQ(g.size(), 2u);
}

TEST(Heap, RandomOperationsKeepOrderAndIndices) {
    std::mt19937 rng(11);
    Heap h(64, edgeLess);
    std::vector<EdgePtr> live;
    for (int step = 0; step < 3000; ++step) {
        const uint32_t op = rng() % 4;
        if (op == 0 || live.size() < 3) {
            live.push_back(edge(rng() % 50, rng() % 50, float(rng() % 20)));
            h.append(live.back());
            h.siftUpLast();
        } else if (op == 1) {
            EdgePtr& e = live[rng() % live.size()];
            e->setError(float(rng() % 20));
            e->setWeight(float(1 + rng() % 3));
            h.update(e);
        } else if (op == 2) {
            const size_t i = rng() % live.size();
            h.remove(live[i]);
            live.erase(live.begin() + long(i));
        } else {
            for (EdgePtr& e : live)
                e->setError(float(rng() % 20));
            h.rebuild();
        }
        expectHeapOrder(h);
        ASSERT_EQ(h.size(), live.size());
    }
    // Draining gives the sorted order of the edge comparison.
    std::sort(live.begin(), live.end(), edgeLess);
    std::vector<std::pair<uint32_t, uint32_t>> expected;
    for (const EdgePtr& e : live)
        expected.push_back({e->first, e->second});
    // Edges that compare equal have the same vertex pair, so the drained order is unique.
    const auto got = drain(h);
    EXPECT_EQ(got, expected);
}
