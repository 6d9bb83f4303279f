#include "MatrixN.h"

#include <cmath>
#include <utility>

namespace gdx {

void MatrixN::setIdentity() {
    fill(0.0);
    for (uint32_t i = 0; i < rows_ && i < columns_; ++i)
        (*this)(i, i) = 1.0;
}

double invert(MatrixN& out, const MatrixN& in, uint32_t n) {
    MatrixN t = in;
    out.setSize(n, n);
    out.setIdentity();
    double det = 1.0;

    for (uint32_t k = 0; k < n; ++k) {
        double best = -1.0;
        uint32_t pivot = k;
        for (uint32_t r = k; r < n; ++r) {
            const double m = std::fabs(t(r, k));
            if (m > best) { // NaN never compares greater, so a NaN column finds no pivot
                best = m;
                pivot = r;
            }
        }
        if (!(best > 0.0))
            return 0.0;

        if (pivot != k) {
            for (uint32_t c = k; c < n; ++c)
                std::swap(t(k, c), t(pivot, c));
            for (uint32_t c = 0; c < n; ++c)
                std::swap(out(k, c), out(pivot, c));
            det = -det;
        }

        const double p = t(k, k);
        det *= p;
        for (uint32_t c = k + 1; c < n; ++c)
            t(k, c) /= p;
        for (uint32_t c = 0; c < n; ++c)
            out(k, c) /= p;

        for (uint32_t i = k + 1; i < n; ++i) {
            const double f = t(i, k);
            for (uint32_t c = k + 1; c < n; ++c)
                t(i, c) -= f * t(k, c);
            for (uint32_t c = 0; c < n; ++c)
                out(i, c) -= f * out(k, c);
        }
    }

    for (uint32_t k = n; k-- > 1;) {
        for (uint32_t i = 0; i < k; ++i) {
            const double f = t(i, k);
            for (uint32_t c = 0; c < n; ++c)
                out(i, c) -= f * out(k, c);
        }
    }
    return det;
}

void normalize(DoubleVector& v) {
    const double len2 = dot(v, v);
    if (len2 == 1.0 || len2 == 0.0)
        return;
    const double len = std::sqrt(len2);
    v.x /= len;
    v.y /= len;
    v.z /= len;
}

Plane trianglePlane(const DoubleVector& p0, const DoubleVector& p1, const DoubleVector& p2) {
    DoubleVector n = cross(p1 - p0, p2 - p0);
    normalize(n);
    return {n.x, n.y, n.z, -dot(n, p0)};
}

void multiply(const MatrixN& m, const VectorN& v, VectorN& out) {
    out.resize(m.rows());
    for (uint32_t r = 0; r < m.rows(); ++r) {
        const double* row = m.row(r);
        double sum = 0.0;
        for (uint32_t c = 0; c < m.columns(); ++c)
            sum += row[c] * v[c];
        out[r] = sum;
    }
}

} // namespace gdx
