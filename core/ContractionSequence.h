// ContractionSequence: the records of the contractions currently applied, oldest first, used as a
// stack. Millions of records are kept, so each is stored packed: a small fixed header plus its face
// and wedge lists in one shared index pool that grows and shrinks with the stack. Records go in and
// come out as ordinary PairContraction values.
//
//   sequence.push_back(record);        // after applying it
//   sequence.back(record);             // the latest, to undo it
//   sequence.pop_back();
#pragma once

#include "PairContraction.h"

#include <vector>

namespace gdx {

class ContractionSequence {
public:
    void reserve(size_t records);
    void push_back(const PairContraction& record);
    void pop_back();
    bool empty() const { return headers_.empty(); }
    size_t size() const { return headers_.size(); }
    // Copies record i (the latest: size() - 1) into `out`.
    void get(size_t i, PairContraction& out) const;
    void back(PairContraction& out) const { get(size() - 1, out); }
    PairContraction operator[](size_t i) const {
        PairContraction r;
        get(i, r);
        return r;
    }

private:
    struct Header {
        uint32_t keptVertex, removedVertex;
        FloatVector displacement;
        uint32_t start; // first entry of the record's lists in pool_
        uint32_t removedCount, changedCount, pairCount, freeCount;
        uint32_t firstRemovedSideFace, firstRemovedSideWedge;
    };
    std::vector<Header> headers_;
    std::vector<uint32_t> pool_; // removed faces, changed faces, wedge pairs (kept, removed), free wedges
};

} // namespace gdx
