// WedgeQuadrics: the engine's quadric of every wedge in one flat array. Each wedge's quadric has the
// geometry (A, b, c) and, when the model has attributes, exactly one block of attribute terms and
// its triangle count, so it is stored as that many doubles in a row: 80 bytes without attributes,
// 152 with one UV set, where a Quadric object with its inline term storage takes 192. The
// operations do the arithmetic of the matching Quadric operations entry by entry, in the same order.
//
//   WedgeQuadrics q;
//   q.assign(model.numWedges(), model.attributeDimension());
//   q.add(w, Quadric(p0, p1, p2, s0, s1, s2, area));   // one per face using the wedge
//   q.appendSumTo(merged, kept, removed);             // merged gets q[kept] + q[removed] as a block
#pragma once

#include "HugePages.h"
#include "Quadric.h"

#include <vector>

namespace gdx {

class WedgeQuadrics {
public:
    // `wedges` empty quadrics with `attributes` attribute entries each.
    void assign(uint32_t wedges, uint32_t attributes);
    uint32_t size() const { return stride_ ? uint32_t(data_.size() / stride_) : 0; }
    uint32_t numAttributes() const { return attributes_; }

    // Wedge w's quadric += q (geometry only, or geometry and one block of numAttributes() terms).
    void add(uint32_t w, const Quadric& q);
    // Wedge to's quadric += (-=) wedge from's.
    void add(uint32_t to, uint32_t from);
    void subtract(uint32_t to, uint32_t from);
    // Adds to merged's geometry and appends as merged's next attribute block: the sum of wedge k's
    // and wedge r's quadrics (each entry k + r, then added on), or wedge w's.
    void appendSumTo(Quadric& merged, uint32_t k, uint32_t r) const;
    void appendTo(Quadric& merged, uint32_t w) const;
    // Wedge w's optimalAttributes(p, out).
    void optimalAttributes(uint32_t w, const FloatVector& p, VectorN& out) const;
    // A copy of wedge w's quadric.
    Quadric operator[](uint32_t w) const;
    // The storage, for populatePages while it is being filled.
    const double* data() const { return data_.data(); }
    std::size_t bytes() const { return data_.size() * sizeof(double); }
    // Asks the cache for wedge w's first two lines (its geometry), for a read shortly after.
    void prefetch(uint32_t w) const {
        __builtin_prefetch(at(w));
        __builtin_prefetch(at(w) + 8);
    }

private:
    // Per wedge: a00 a01 a02 a11 a12 a22, b0 b1 b2, c; then, with attributes, the triangle count
    // and per entry gx gy gz offset.
    static constexpr uint32_t GEOMETRY = 10, COUNT = 10, TERMS = 11;
    double* at(uint32_t w) { return data_.data() + size_t(w) * stride_; }
    const double* at(uint32_t w) const { return data_.data() + size_t(w) * stride_; }

    uint32_t attributes_ = 0;
    uint32_t stride_ = 0;
    std::vector<double, ZeroedAllocator<double>> data_; // zero until added to, untouched till then
};

} // namespace gdx
