#include "WedgeQuadrics.h"

#include "HugePages.h"

namespace gdx {

void WedgeQuadrics::assign(uint32_t wedges, uint32_t attributes) {
    attributes_ = attributes;
    stride_ = GEOMETRY + (attributes > 0 ? 1 + 4 * attributes : 0);
    decltype(data_)().swap(data_); // fresh zeroed storage: resize() below writes nothing
    resizeHuge(data_, size_t(wedges) * stride_);
}

void WedgeQuadrics::add(uint32_t w, const Quadric& q) {
    double* x = at(w);
    for (uint32_t i = 0; i < 6; ++i)
        x[i] += q.a_[i];
    for (uint32_t i = 0; i < 3; ++i)
        x[6 + i] += q.b_[i];
    x[9] += q.c_;
    double* t = x + TERMS;
    for (uint32_t j = 0; j < q.terms_.size(); ++j, t += 4) {
        const Quadric::Term& o = q.terms_[j];
        t[0] += o.gradient.x;
        t[1] += o.gradient.y;
        t[2] += o.gradient.z;
        t[3] += o.offset;
    }
    if (q.counts_.size() > 0)
        x[COUNT] = double(uint32_t(x[COUNT]) + q.counts_[0]);
}

void WedgeQuadrics::add(uint32_t to, uint32_t from) {
    double* x = at(to);
    const double* y = at(from);
    for (uint32_t i = 0; i < GEOMETRY; ++i)
        x[i] += y[i];
    if (attributes_ == 0)
        return;
    x[COUNT] = double(uint32_t(x[COUNT]) + uint32_t(y[COUNT]));
    for (uint32_t i = TERMS; i < stride_; ++i)
        x[i] += y[i];
}

void WedgeQuadrics::subtract(uint32_t to, uint32_t from) {
    double* x = at(to);
    const double* y = at(from);
    for (uint32_t i = 0; i < GEOMETRY; ++i)
        x[i] -= y[i];
    if (attributes_ == 0)
        return;
    for (uint32_t i = TERMS; i < stride_; ++i)
        x[i] -= y[i];
    x[COUNT] = double(uint32_t(x[COUNT]) - uint32_t(y[COUNT]));
}

void WedgeQuadrics::appendSumTo(Quadric& merged, uint32_t k, uint32_t r) const {
    const double* x = at(k);
    const double* y = at(r);
    for (uint32_t i = 0; i < 6; ++i)
        merged.a_[i] += x[i] + y[i];
    for (uint32_t i = 0; i < 3; ++i)
        merged.b_[i] += x[6 + i] + y[6 + i];
    merged.c_ += x[9] + y[9];
    if (attributes_ == 0)
        return;
    for (uint32_t i = TERMS; i < stride_; i += 4)
        merged.terms_.push_back(
            Quadric::Term{{x[i] + y[i], x[i + 1] + y[i + 1], x[i + 2] + y[i + 2]}, x[i + 3] + y[i + 3]});
    merged.counts_.push_back(uint32_t(x[COUNT]) + uint32_t(y[COUNT]));
}

void WedgeQuadrics::appendTo(Quadric& merged, uint32_t w) const {
    const double* x = at(w);
    for (uint32_t i = 0; i < 6; ++i)
        merged.a_[i] += x[i];
    for (uint32_t i = 0; i < 3; ++i)
        merged.b_[i] += x[6 + i];
    merged.c_ += x[9];
    if (attributes_ == 0)
        return;
    for (uint32_t i = TERMS; i < stride_; i += 4)
        merged.terms_.push_back(Quadric::Term{{x[i], x[i + 1], x[i + 2]}, x[i + 3]});
    merged.counts_.push_back(uint32_t(x[COUNT]));
}

void WedgeQuadrics::optimalAttributes(uint32_t w, const FloatVector& p, VectorN& out) const {
    // Copied into a quadric kept per thread (no allocation once warm), which does the arithmetic.
    static thread_local Quadric q(0);
    q.reset(0);
    appendTo(q, w);
    q.optimalAttributes(p, out);
}

Quadric WedgeQuadrics::operator[](uint32_t w) const {
    Quadric q(0);
    appendTo(q, w);
    return q;
}

} // namespace gdx
