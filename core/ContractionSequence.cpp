#include "ContractionSequence.h"

#include "HugePages.h"

#include <algorithm>

namespace gdx {

void ContractionSequence::reserve(size_t records) {
    reserveHuge(headers_, records);
    // A record lists about a dozen faces and wedges.
    reserveHuge(pool_, records * 12);
}

void ContractionSequence::push_back(const PairContraction& r) {
    dropUndone();
    ++applied_;
    headers_.push_back(Header{r.keptVertex, r.removedVertex, r.displacement, uint32_t(pool_.size()),
                              r.removedFaces.size(), r.changedFaces.size(), r.wedgePairs.size(),
                              r.freeWedges.size(), r.firstRemovedSideFace, r.firstRemovedSideWedge});
    pool_.insert(pool_.end(), r.removedFaces.begin(), r.removedFaces.end());
    pool_.insert(pool_.end(), r.changedFaces.begin(), r.changedFaces.end());
    for (const WedgePair& pair : r.wedgePairs) {
        pool_.push_back(pair.kept);
        pool_.push_back(pair.removed);
    }
    pool_.insert(pool_.end(), r.freeWedges.begin(), r.freeWedges.end());
}

void ContractionSequence::pop_back() {
    dropUndone();
    pool_.resize(headers_.back().start);
    headers_.pop_back();
    --applied_;
    keepFrom_ = std::min(keepFrom_, applied_);
}

void ContractionSequence::retreat() {
    if (applied_ <= keepFrom_)
        pop_back();
    else
        --applied_;
}

void ContractionSequence::forgetUndone() {
    dropUndone();
    keepFrom_ = applied_;
}

void ContractionSequence::dropUndone() {
    if (applied_ == headers_.size())
        return;
    pool_.resize(headers_[applied_].start);
    headers_.resize(applied_);
}

void ContractionSequence::get(size_t i, PairContraction& out) const {
    const Header& h = headers_[i];
    out.keptVertex = h.keptVertex;
    out.removedVertex = h.removedVertex;
    out.displacement = h.displacement;
    out.firstRemovedSideFace = h.firstRemovedSideFace;
    out.firstRemovedSideWedge = h.firstRemovedSideWedge;
    const uint32_t* p = pool_.data() + h.start;
    out.removedFaces.clear();
    for (uint32_t k = 0; k < h.removedCount; ++k)
        out.removedFaces.push_back(*p++);
    out.changedFaces.clear();
    for (uint32_t k = 0; k < h.changedCount; ++k)
        out.changedFaces.push_back(*p++);
    // Stored in set order already: rebuilding the set is a run of appends.
    out.wedgePairs.clear();
    for (uint32_t k = 0; k < h.pairCount; ++k, p += 2)
        out.wedgePairs.insert(WedgePair{p[0], p[1]});
    out.freeWedges.clear();
    for (uint32_t k = 0; k < h.freeCount; ++k)
        out.freeWedges.push_back(*p++);
}

} // namespace gdx
