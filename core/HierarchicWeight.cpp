#include "HierarchicWeight.h"

#include "HugePages.h"

#include <cassert>

namespace gdx {

HierarchicWeight::HierarchicWeight(uint32_t vertexCount)
    : currentNode_(vertexCount), vertexCount_(vertexCount) {
    // Room for every merge: at most one fewer than the vertices.
    reserveHuge(merges_, vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v)
        currentNode_[v] = v;
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

// Merges are stored after their children, so one pass in storage order brings every cache up to
// date.
void HierarchicWeight::refreshCache() {
    cache_.resize(merges_.size());
    for (size_t i = 0; i < merges_.size(); ++i) {
        const Combined l = combined(merges_[i].left), r = combined(merges_[i].right);
        cache_[i] = Combined{combine(l.value, r.value), l.leaves + r.leaves};
    }
    cacheStale_ = false;
}

float HierarchicWeight::getWeight(uint32_t vertex) {
    if (unitOnly())
        return 1.0f;
    if (cacheStale_)
        refreshCache();
    const Combined node = combined(currentNode_[vertex]);
    return mode_ == AVERAGE ? float(node.value / float(node.leaves)) : node.value;
}

void HierarchicWeight::setWeight(uint32_t vertex, float weight) {
    if (ownWeight_.empty()) {
        if (weight == 1.0f)
            return; // as it is
        ownWeight_.assign(vertexCount_, 1.0f);
    }
    nonUnitWeights_ -= ownWeight_[vertex] != 1.0f ? 1 : 0;
    nonUnitWeights_ += weight != 1.0f ? 1 : 0;
    ownWeight_[vertex] = weight;
    cacheStale_ = true;
}

void HierarchicWeight::contractVertices(uint32_t kept, uint32_t removed) {
    const uint32_t left = currentNode_[kept], right = currentNode_[removed];
    currentNode_[kept] = vertexCount_ + uint32_t(merges_.size());
    merges_.push_back(Merge{kept, left, right});
    if (unitOnly()) {
        // Every weight is 1.0 and read as such: the merge is recorded, and its cached value made
        // (with every other one) when setWeight first sets one that is not.
        cacheStale_ = true;
        return;
    }
    if (cacheStale_) {
        refreshCache();
        return;
    }
    const Combined l = combined(left), r = combined(right);
    cache_.push_back(Combined{combine(l.value, r.value), l.leaves + r.leaves});
}

void HierarchicWeight::uncontractVertex(uint32_t kept) {
    const uint32_t node = currentNode_[kept];
    if (node < vertexCount_)
        return; // nothing merged into this vertex
    const Merge merge = merges_[node - vertexCount_];
    currentNode_[vertexOf(merge.left)] = merge.left;
    currentNode_[vertexOf(merge.right)] = merge.right;
    // Merges are undone in reverse order, so the one being undone is always the newest.
    assert(node + 1 == nodeCount());
    merges_.pop_back();
    if (cache_.size() > merges_.size())
        cache_.pop_back();
}

} // namespace gdx
