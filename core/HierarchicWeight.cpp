#include "HierarchicWeight.h"

#include "HugePages.h"

#include <cassert>

namespace gdx {

HierarchicWeight::HierarchicWeight(uint32_t vertexCount)
    : currentNode_(vertexCount), ownWeight_(vertexCount, 1.0f), vertexCount_(vertexCount) {
    // Room for every merge as well: at most one fewer than the vertices.
    reserveHuge(nodes_, 2 * std::size_t(vertexCount));
    for (uint32_t v = 0; v < vertexCount; ++v) {
        currentNode_[v] = v;
        nodes_.push_back(WeightNode{v, NO_CHILD, NO_CHILD, 1.0f, 1});
    }
    setMode(AVERAGE);
}

void HierarchicWeight::setMode(int mode) {
    const WeightCombining m = mode == 0 ? MIN : (mode == 1 ? MAX : AVERAGE);
    if (m != mode_)
        cacheStale_ = true;
    mode_ = m;
}

float HierarchicWeight::combine(float l, float r) const {
    switch (mode_) {
    case MIN:
        return l < r ? l : r;
    case MAX:
        return l > r ? l : r;
    default:
        return l + r;
    }
}

// Nodes are stored after their children, so one pass in storage order brings every cache up to date.
void HierarchicWeight::refreshCache() {
    for (WeightNode& node : nodes_) {
        if (node.left == NO_CHILD) {
            node.value = ownWeight_[node.vertex];
            node.leaves = 1;
        } else {
            const WeightNode& l = nodes_[node.left];
            const WeightNode& r = nodes_[node.right];
            node.value = combine(l.value, r.value);
            node.leaves = l.leaves + r.leaves;
        }
    }
    cacheStale_ = false;
}

float HierarchicWeight::getWeight(uint32_t vertex) {
    if (unitOnly())
        return 1.0f;
    if (cacheStale_)
        refreshCache();
    const WeightNode& node = nodes_[currentNode_[vertex]];
    return mode_ == AVERAGE ? float(node.value / float(node.leaves)) : node.value;
}

void HierarchicWeight::setWeight(uint32_t vertex, float weight) {
    nonUnitWeights_ -= ownWeight_[vertex] != 1.0f ? 1 : 0;
    nonUnitWeights_ += weight != 1.0f ? 1 : 0;
    ownWeight_[vertex] = weight;
    cacheStale_ = true;
}

void HierarchicWeight::contractVertices(uint32_t kept, uint32_t removed) {
    const uint32_t left = currentNode_[kept], right = currentNode_[removed];
    currentNode_[kept] = uint32_t(nodes_.size());
    if (unitOnly()) {
        // Every weight is 1.0 and read as such: the merge is recorded, and its cached value made
        // (with every other one) when setWeight first sets one that is not.
        nodes_.push_back(WeightNode{kept, left, right, 0.0f, 0});
        return;
    }
    if (cacheStale_)
        refreshCache();
    const WeightNode& l = nodes_[left];
    const WeightNode& r = nodes_[right];
    const WeightNode node{kept, left, right, combine(l.value, r.value), l.leaves + r.leaves};
    nodes_.push_back(node);
}

void HierarchicWeight::uncontractVertex(uint32_t kept) {
    const uint32_t index = currentNode_[kept];
    const WeightNode node = nodes_[index];
    if (node.left == NO_CHILD)
        return; // nothing merged into this vertex
    currentNode_[nodes_[node.left].vertex] = node.left;
    currentNode_[nodes_[node.right].vertex] = node.right;
    // Merges are undone in reverse order, so the node being undone is always the newest one.
    assert(index + 1 == nodes_.size());
    nodes_.pop_back();
}

} // namespace gdx
