#include "MatrixN.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace gdx {

void MatrixN::setIdentity() {
    fill(0.0);
    for (uint32_t i = 0; i < rows_ && i < columns_; ++i)
        (*this)(i, i) = 1.0;
}

namespace {
// Gauss-Jordan on a row-major n x n work copy `t`, writing the inverse into `o` (identity on entry).
// Written once for a size known at compile time (the common small systems, which the compiler
// unrolls) and once for any size; both do the same operations in the same order. Rows whose
// multiplier is zero are skipped: subtracting 0 * x leaves every finite value as it was.
template <uint32_t N> double gaussJordan(double* t, double* o, uint32_t runtimeN) {
    const uint32_t n = N ? N : runtimeN;
    double det = 1.0;
    for (uint32_t k = 0; k < n; ++k) {
        double best = -1.0;
        uint32_t pivot = k;
        for (uint32_t r = k; r < n; ++r) {
            const double m = std::fabs(t[r * n + k]);
            if (m > best) { // NaN never compares greater, so a NaN column finds no pivot
                best = m;
                pivot = r;
            }
        }
        if (!(best > 0.0))
            return 0.0;

        double* tk = t + k * n;
        double* ok = o + k * n;
        if (pivot != k) {
            double* tp = t + pivot * n;
            double* op = o + pivot * n;
            for (uint32_t c = k; c < n; ++c)
                std::swap(tk[c], tp[c]);
            for (uint32_t c = 0; c < n; ++c)
                std::swap(ok[c], op[c]);
            det = -det;
        }

        const double p = tk[k];
        det *= p;
        for (uint32_t c = k + 1; c < n; ++c)
            tk[c] /= p;
        for (uint32_t c = 0; c < n; ++c)
            ok[c] /= p;

        for (uint32_t i = k + 1; i < n; ++i) {
            double* ti = t + i * n;
            const double f = ti[k];
            if (f == 0.0)
                continue;
            for (uint32_t c = k + 1; c < n; ++c)
                ti[c] -= f * tk[c];
            double* oi = o + i * n;
            for (uint32_t c = 0; c < n; ++c)
                oi[c] -= f * ok[c];
        }
    }

    for (uint32_t k = n; k-- > 1;) {
        const double* ok = o + k * n;
        for (uint32_t i = 0; i < k; ++i) {
            const double f = t[i * n + k];
            if (f == 0.0)
                continue;
            double* oi = o + i * n;
            for (uint32_t c = 0; c < n; ++c)
                oi[c] -= f * ok[c];
        }
    }
    return det;
}

template <uint32_t N> double invertFixed(MatrixN& out, const MatrixN& in) {
    double t[N * N];
    std::copy(in.row(0), in.row(0) + N * N, t);
    return gaussJordan<N>(t, out.row(0), N);
}
} // namespace

double invert(MatrixN& out, const MatrixN& in, uint32_t n) {
    out.setSize(n, n);
    out.setIdentity();
    switch (n) {
    case 0:
        return 1.0;
    case 3:
        return invertFixed<3>(out, in);
    case 4:
        return invertFixed<4>(out, in);
    case 5:
        return invertFixed<5>(out, in);
    case 6:
        return invertFixed<6>(out, in);
    case 7:
        return invertFixed<7>(out, in);
    case 8:
        return invertFixed<8>(out, in);
    case 9:
        return invertFixed<9>(out, in);
    case 10:
        return invertFixed<10>(out, in);
    case 11:
        return invertFixed<11>(out, in);
    case 12:
        return invertFixed<12>(out, in);
    default: {
        MatrixN work = in;
        return gaussJordan<0>(work.row(0), out.row(0), n);
    }
    }
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
