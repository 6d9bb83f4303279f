// HierarchicWeight: per-vertex weights that follow contractions. Each vertex stands for the tree of
// input vertices merged into it; its weight is the minimum, maximum or mean of their own weights.
// Undoing merges in reverse order restores the previous weights exactly.
//
//   HierarchicWeight w(n);  w.setMode(0 | 1 | 2);   // MIN, MAX, AVERAGE (default)
//   w.setWeight(v, p * 100 + 1);                    // own weights
//   w.contractVertices(a, b); ... w.uncontractVertex(a);
#pragma once

#include "VertexWeight.h"

#include <vector>

namespace gdx {

enum WeightCombining { MIN = 0, MAX = 1, AVERAGE = 2 };

class HierarchicWeight : public VertexWeight {
public:
    explicit HierarchicWeight(uint32_t vertexCount);

    void setMode(int mode);
    WeightCombining mode() const { return mode_; }
    uint32_t vertexCount() const { return vertexCount_; }
    uint32_t nodeCount() const { return vertexCount_ + uint32_t(merges_.size()); }

    float getWeight(uint32_t vertex) override;
    void setWeight(uint32_t vertex, float weight) override;
    void contractVertices(uint32_t kept, uint32_t removed) override;
    void uncontractVertex(uint32_t kept) override;

private:
    // A leaf stands for one input vertex; a merge node for the union of its two children. Node
    // numbers below vertexCount_ are the leaves (node v: vertex v, nothing stored); merge node
    // vertexCount_ + i is merges_[i], which grows with merges and shrinks with their undoing
    // (always the last).
    struct Merge {
        uint32_t vertex; // the kept one
        uint32_t left, right;
    };
    // Cached combine() over a merge's subtree and its leaf count, in the same order and precision
    // as a recursive evaluation (right subtree, then left, combined as a float). Kept only while
    // some weight is not 1: a million merges need no cache on an unpainted mesh.
    struct Combined {
        float value;
        uint32_t leaves;
    };
    float combine(float l, float r) const;
    // Every own weight is 1.0, so every weight is exactly 1.0 under every mode (sums of ones are
    // exact below 2^24).
    bool unitOnly() const { return nonUnitWeights_ == 0 && vertexCount_ < (1u << 24); }
    Combined combined(uint32_t node) const {
        return node < vertexCount_ ? Combined{ownWeight(node), 1} : cache_[node - vertexCount_];
    }
    uint32_t vertexOf(uint32_t node) const {
        return node < vertexCount_ ? node : merges_[node - vertexCount_].vertex;
    }
    void refreshCache();
    std::vector<uint32_t> currentNode_;
    float ownWeight(uint32_t v) const { return ownWeight_.empty() ? 1.0f : ownWeight_[v]; }
    std::vector<float> ownWeight_; // empty while every own weight is 1
    std::vector<Merge> merges_;
    std::vector<Combined> cache_; // one per merge when current, else stale
    uint32_t vertexCount_;
    WeightCombining mode_ = AVERAGE;
    bool cacheStale_ = false;
    // How many own weights differ from 1.0: while none does, getWeight needs no tree.
    uint32_t nonUnitWeights_ = 0;
};

} // namespace gdx
