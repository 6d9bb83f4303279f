// MatrixN: a dense row-major matrix (entry (r, c) at r * columns + c), and the small linear algebra
// the quadric needs: Gauss-Jordan inversion, the plane of a triangle, normalisation and the
// matrix-vector product. Matrices up to 12 x 12 (a position plus nine attributes) live inline.
#pragma once

#include "SmallVector.h"
#include "Types.h"
#include "VectorN.h"

namespace gdx {

class MatrixN {
public:
    MatrixN() = default;
    MatrixN(uint32_t rows, uint32_t columns) { setSize(rows, columns); }

    // Sets the shape; entries are undefined until written.
    void setSize(uint32_t rows, uint32_t columns) {
        rows_ = rows;
        columns_ = columns;
        values_.resize(rows * columns);
    }
    void fill(double v) {
        for (double& x : values_)
            x = v;
    }
    void setIdentity();

    uint32_t rows() const { return rows_; }
    uint32_t columns() const { return columns_; }
    uint32_t count() const { return values_.size(); }
    double& operator()(uint32_t r, uint32_t c) { return values_[r * columns_ + c]; }
    double operator()(uint32_t r, uint32_t c) const { return values_[r * columns_ + c]; }
    double* row(uint32_t r) { return values_.data() + r * columns_; }
    const double* row(uint32_t r) const { return values_.data() + r * columns_; }

private:
    SmallVector<double, 144> values_;
    uint32_t rows_ = 0;
    uint32_t columns_ = 0;
};

// Gauss-Jordan inversion of the n x n matrix `in` into `out` with partial pivoting (first row of the
// largest magnitude on ties). Returns the determinant, or 0.0 when a pivot column is all zero (or not
// a number); `out` is then only partly reduced.
double invert(MatrixN& out, const MatrixN& in, uint32_t n);

struct Plane {
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0; // a x + b y + c z + d = 0
};

// The plane through three points: unit normal (p1 - p0) x (p2 - p0), d = -n . p0. A degenerate
// triangle gives a zero normal.
Plane trianglePlane(const DoubleVector& p0, const DoubleVector& p1, const DoubleVector& p2);

// Scales v to unit length unless its squared length is exactly 1 or 0.
void normalize(DoubleVector& v);

// out = m * v, with out sized to the matrix's row count.
void multiply(const MatrixN& m, const VectorN& v, VectorN& out);

} // namespace gdx
