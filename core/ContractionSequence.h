// ContractionSequence: the records of the contractions currently applied, oldest first, used as a
// stack. Millions of records are kept, so each is stored packed: a small fixed header plus its list
// lengths and its face and wedge lists as variable-length differences in one shared byte pool that
// grows and shrinks with the stack (about 50 bytes a record, where plain indices took 93). Records
// go in and come out as ordinary PairContraction values.
//
//   sequence.push_back(record);        // after applying it
//   sequence.back(record);             // the latest, to undo it
//   sequence.pop_back();
//
// A sequence can also keep the records it steps back over (retreat()), for an engine that replays
// undone contractions instead of asking its queue again (QSlim::setReplayScrub): they stay after
// the applied ones until advance() takes the next one back or push_back() drops them all.
#pragma once

#include "HugePages.h"
#include "PairContraction.h"

#include <vector>

namespace gdx {

class ContractionSequence {
public:
    void reserve(size_t records);
    void push_back(const PairContraction& record);
    void pop_back();
    bool empty() const { return applied_ == 0; }
    // The applied records; get(i) also reaches the kept undone ones at size() and after.
    size_t size() const { return applied_; }

    // Steps back over the latest record, keeping it to be re-applied; a record applied before the
    // last forgetUndone() is dropped instead, as pop_back() drops it.
    void retreat();
    // How many undone records are kept; next() copies the one advance() re-applies.
    size_t undone() const { return headers_.size() - applied_; }
    void next(PairContraction& out) const { get(applied_, out); }
    void advance() { ++applied_; }
    // Drops the kept records, and keeps none of those applied now when they are undone (after the
    // engine's costs changed, they are no longer the contractions it would choose).
    void forgetUndone();
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
        uint32_t start; // the record's first byte in pool_
    };
    void dropUndone();
    // Bytes past 4 GiB cannot be addressed by a header: such a sequence is out of memory.
    uint32_t poolSize() const;
    std::vector<Header> headers_;
    size_t applied_ = 0;
    size_t keepFrom_ = 0; // records below this index are not kept when undone
    // Per record: list lengths, then removed faces, changed faces, wedge pairs (kept, removed) and
    // free wedges. Growing it writes nothing (ZeroedAllocator): a record makes room for its longest
    // form, writes what it needs and cuts the rest, so no byte is read before it is written.
    std::vector<uint8_t, ZeroedAllocator<uint8_t>> pool_;
};

} // namespace gdx
