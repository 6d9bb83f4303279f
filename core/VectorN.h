// VectorN: a run-time-sized vector of doubles. Creating one leaves its entries undefined, resizing
// keeps the leading values; up to 16 entries live inline, so attribute vectors of a few wedges never
// touch the heap.
#pragma once

#include "SmallVector.h"

namespace gdx {

class VectorN {
public:
    VectorN() = default;
    explicit VectorN(uint32_t n) { values_.resize(n); }

    uint32_t size() const { return values_.size(); }
    void resize(uint32_t n) { values_.resize(n); }
    void fill(double v) {
        for (double& x : values_)
            x = v;
    }
    double& operator[](uint32_t i) { return values_[i]; }
    double operator[](uint32_t i) const { return values_[i]; }
    double* data() { return values_.data(); }
    const double* data() const { return values_.data(); }

private:
    SmallVector<double, 16> values_;
};

} // namespace gdx
