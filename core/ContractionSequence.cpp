#include "ContractionSequence.h"

#include "HugePages.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace gdx {

namespace {

// Unsigned LEB128: seven bits a byte, low bits first, the top bit set on all but the last byte.
// Written through a plain pointer into room made beforehand: a byte-wise push_back reloads the
// vector's ends after every byte (a byte store may alias them) and cost 3 % of a decimation.
constexpr size_t kMostBytes = 5; // of a 32-bit number

uint8_t* putNumber(uint8_t* out, uint32_t x) {
    while (x >= 0x80) {
        *out++ = uint8_t(x | 0x80);
        x >>= 7;
    }
    *out++ = uint8_t(x);
    return out;
}

uint32_t getNumber(const uint8_t*& p) {
    uint32_t x = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = *p++;
        x |= uint32_t(byte & 0x7f) << shift;
        if (byte < 0x80)
            return x;
    }
}

// A record's indices go in as differences from the one before, folded so that small steps either
// way take one byte: the faces and wedges of a contraction lie near each other in the input.
struct Writer {
    uint8_t* out;
    uint32_t previous = 0;
    void put(uint32_t x) {
        const uint32_t step = x - previous;
        previous = x;
        out = putNumber(out, (step << 1) ^ uint32_t(-(step >> 31))); // zigzag: -1 -> 1, 1 -> 2
    }
};

struct Reader {
    const uint8_t* p;
    uint32_t previous = 0;
    uint32_t get() {
        const uint32_t folded = getNumber(p);
        previous += (folded >> 1) ^ uint32_t(-(folded & 1));
        return previous;
    }
};

} // namespace

void ContractionSequence::reserve(size_t records) {
    reserveHuge(headers_, records);
    // A record takes about 30 bytes of lists; room for more is only address space until used.
    reserveHuge(pool_, records * 64);
}

uint32_t ContractionSequence::poolSize() const {
    if (pool_.size() > UINT32_MAX)
        throw std::bad_alloc();
    return uint32_t(pool_.size());
}

void ContractionSequence::push_back(const PairContraction& r) {
    dropUndone();
    headers_.push_back(Header{r.keptVertex, r.removedVertex, r.displacement, poolSize()});
    ++applied_;
    const size_t start = pool_.size(), numbers = 6 + r.removedFaces.size() + r.changedFaces.size() +
                                                 2 * r.wedgePairs.size() + r.freeWedges.size();
    pool_.resize(start + kMostBytes * numbers); // value-initialised bytes: nothing is written
    uint8_t* lengths = pool_.data() + start;
    for (uint32_t n : {r.removedFaces.size(), r.changedFaces.size(), r.wedgePairs.size(), r.freeWedges.size(),
                       r.firstRemovedSideFace, r.firstRemovedSideWedge})
        lengths = putNumber(lengths, n);
    Writer out{lengths};
    for (uint32_t f : r.removedFaces)
        out.put(f);
    for (uint32_t f : r.changedFaces)
        out.put(f);
    for (const WedgePair& pair : r.wedgePairs) {
        out.put(pair.kept);
        out.put(pair.removed);
    }
    for (uint32_t w : r.freeWedges)
        out.put(w);
    pool_.resize(size_t(out.out - pool_.data()));
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
    const uint8_t* p = pool_.data() + h.start;
    const uint32_t removedCount = getNumber(p), changedCount = getNumber(p), pairCount = getNumber(p),
                   freeCount = getNumber(p);
    out.firstRemovedSideFace = getNumber(p);
    out.firstRemovedSideWedge = getNumber(p);
    Reader in{p};
    out.removedFaces.clear();
    for (uint32_t k = 0; k < removedCount; ++k)
        out.removedFaces.push_back(in.get());
    out.changedFaces.clear();
    for (uint32_t k = 0; k < changedCount; ++k)
        out.changedFaces.push_back(in.get());
    // Stored in set order already: rebuilding the set is a run of appends.
    out.wedgePairs.clear();
    for (uint32_t k = 0; k < pairCount; ++k) {
        const uint32_t kept = in.get();
        out.wedgePairs.insert(WedgePair{kept, in.get()});
    }
    out.freeWedges.clear();
    for (uint32_t k = 0; k < freeCount; ++k)
        out.freeWedges.push_back(in.get());
}

} // namespace gdx
