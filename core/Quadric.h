// Quadric: the error of a candidate vertex (a position and attribute values) against the triangles
// merged into it. Geometry is the classic sum of weighted squared plane distances (A, b, c); each
// attribute entry j adds (g_j . p + d_j - s_j)^2 per triangle, stored as summed -g_j, -d_j and a
// triangle count per block. Blocks of equal size belong to one wedge each, so the quadric of a whole
// contraction is made by appending the blocks of every wedge involved.
//
//   Quadric q(attributeDimension);          // empty per-wedge quadric
//   q += Quadric(p0, p1, p2, s0, s1, s2, area); // one per face using the wedge
//   double e = q.evaluate(position, attributes);
#pragma once

#include "SmallVector.h"
#include "Types.h"
#include "VectorN.h"

namespace gdx {

class Quadric {
public:
    // One attribute entry: the negated gradient and the negated offset of its linear function.
    struct Term {
        DoubleVector gradient;
        double offset;
    };

    explicit Quadric(uint32_t numAttributes = 0) { reset(numAttributes); }
    // Plane quadric of a x + b y + c z + d = 0, times w; no attributes.
    Quadric(double a, double b, double c, double d, double w);
    // Quadric of one triangle with corner positions p0..p2, corner attribute vectors s0..s2 (equal
    // lengths) and plane weight w.
    Quadric(const DoubleVector& p0, const DoubleVector& p1, const DoubleVector& p2, const VectorN& s0,
            const VectorN& s1, const VectorN& s2, double w);

    void reset(uint32_t numAttributes);
    void setPlane(double a, double b, double c, double d);
    void scale(double w);
    void addGeometry(const Quadric& q);
    void add(const Quadric& q);
    Quadric& operator+=(const Quadric& q) {
        add(q);
        return *this;
    }

    uint32_t numAttributes() const { return terms_.size(); }
    uint32_t numBlocks() const { return counts_.size(); }
    uint32_t count(uint32_t j) const { return counts_[j / (terms_.size() / counts_.size())]; }
    const DoubleVector& gradient(uint32_t j) const { return terms_[j].gradient; }
    double offset(uint32_t j) const { return terms_[j].offset; }
    // A as a00, a01, a02, a11, a12, a22; then b and c.
    const double* a() const { return a_; }
    const double* b() const { return b_; }
    double c() const { return c_; }

    // E(p, s), or 0.0 when E is below 1e-12. s holds at least numAttributes() entries.
    double evaluate(const FloatVector& p, const VectorN& s) const;
    // The attribute values that minimise E at the fixed position p; `out` is resized.
    void optimalAttributes(const FloatVector& p, VectorN& out) const;
    // The joint minimiser of E over position and attributes. False (outputs untouched) when the
    // system is singular (|det| < 1e-12). sOut must already hold numAttributes() entries.
    bool optimize(FloatVector& pOut, VectorN& sOut) const;
    // The same minimiser from the system's shape: the attribute rows only couple to the position,
    // so eliminating them leaves a 3 x 3 system (A - sum g g^T / count) p = b - sum g offset / count.
    // Linear in the attribute count where optimize() is cubic, equal up to rounding.
    bool optimizeBlocks(FloatVector& pOut, VectorN& sOut) const;

private:
    friend class WedgeQuadrics;
    double a_[6];
    double b_[3];
    double c_;
    SmallVector<Term, 2> terms_;
    SmallVector<uint32_t, 2> counts_;
};

} // namespace gdx
