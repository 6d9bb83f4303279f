#include "Quadric.h"

#include "MatrixN.h"

#include <cmath>

namespace gdx {

namespace {
constexpr double ZERO_ERROR = 1e-12;
constexpr double SINGULAR = 1e-12;

bool finite(double v) {
    return std::isfinite(v);
}
} // namespace

void Quadric::reset(uint32_t numAttributes) {
    for (double& v : a_)
        v = 0.0;
    b_[0] = b_[1] = b_[2] = 0.0;
    c_ = 0.0;
    terms_.clear();
    terms_.resize(numAttributes, Term{{0.0, 0.0, 0.0}, 0.0});
    counts_.clear();
    if (numAttributes > 0)
        counts_.push_back(0);
}

Quadric::Quadric(double a, double b, double c, double d, double w) {
    reset(0);
    setPlane(a, b, c, d);
    scale(w);
}

Quadric::Quadric(const DoubleVector& p0, const DoubleVector& p1, const DoubleVector& p2, const VectorN& s0,
                 const VectorN& s1, const VectorN& s2, double w) {
    reset(0);
    const uint32_t n = s0.size();
    terms_.reserve(n);

    const Plane plane = trianglePlane(p0, p1, p2);
    setPlane(plane.a, plane.b, plane.c, plane.d);
    scale(w);
    if (n == 0)
        return;

    MatrixN m(4, 4);
    const DoubleVector* corners[3] = {&p0, &p1, &p2};
    for (uint32_t r = 0; r < 3; ++r) {
        m(r, 0) = corners[r]->x;
        m(r, 1) = corners[r]->y;
        m(r, 2) = corners[r]->z;
        m(r, 3) = 1.0;
    }
    m(3, 0) = plane.a;
    m(3, 1) = plane.b;
    m(3, 2) = plane.c;
    m(3, 3) = 0.0;
    MatrixN inverse;
    const double det = invert(inverse, m, 4);

    // A triangle without area has no plane to interpolate over: inverting its system would give
    // meaningless (or infinite) gradients. It gets the constant function at its corners' mean
    // instead, so it still votes for its wedges' values and never poisons them with NaN.
    const DoubleVector e1 = p1 - p0, e2 = p2 - p0, normal = cross(e1, e2);
    bool degenerate =
        det == 0.0 || !(dot(normal, normal) > 1e-24 * dot(e1, e1) * dot(e2, e2)) || !finite(det);
    for (uint32_t r = 0; r < 4 && !degenerate; ++r)
        for (uint32_t c = 0; c < 3; ++c)
            degenerate = degenerate || !finite(inverse(r, c));

    for (uint32_t j = 0; j < n; ++j) {
        double gx = 0.0, gy = 0.0, gz = 0.0, dj = (s0[j] + s1[j] + s2[j]) / 3.0;
        if (!degenerate) {
            // inverse x (s0_j, s1_j, s2_j, 0): the last column never contributes.
            gx = inverse(0, 0) * s0[j] + inverse(0, 1) * s1[j] + inverse(0, 2) * s2[j];
            gy = inverse(1, 0) * s0[j] + inverse(1, 1) * s1[j] + inverse(1, 2) * s2[j];
            gz = inverse(2, 0) * s0[j] + inverse(2, 1) * s1[j] + inverse(2, 2) * s2[j];
            dj = inverse(3, 0) * s0[j] + inverse(3, 1) * s1[j] + inverse(3, 2) * s2[j];
        }
        a_[0] += gx * gx;
        a_[1] += gx * gy;
        a_[2] += gx * gz;
        a_[3] += gy * gy;
        a_[4] += gy * gz;
        a_[5] += gz * gz;
        terms_.push_back(Term{{-gx, -gy, -gz}, -dj});
        b_[0] += dj * gx;
        b_[1] += dj * gy;
        b_[2] += dj * gz;
        c_ += dj * dj;
    }
    counts_.push_back(1);
}

void Quadric::setPlane(double a, double b, double c, double d) {
    a_[0] = a * a;
    a_[1] = a * b;
    a_[2] = a * c;
    a_[3] = b * b;
    a_[4] = b * c;
    a_[5] = c * c;
    b_[0] = d * a;
    b_[1] = d * b;
    b_[2] = d * c;
    c_ = d * d;
}

void Quadric::scale(double w) {
    for (double& v : a_)
        v *= w;
    for (double& v : b_)
        v *= w;
    c_ *= w;
}

void Quadric::addGeometry(const Quadric& q) {
    for (int i = 0; i < 6; ++i)
        a_[i] += q.a_[i];
    for (int i = 0; i < 3; ++i)
        b_[i] += q.b_[i];
    c_ += q.c_;
}

void Quadric::add(const Quadric& q) {
    addGeometry(q);
    for (uint32_t j = 0; j < q.terms_.size(); ++j) {
        Term& t = terms_[j];
        const Term& o = q.terms_[j];
        t.gradient.x += o.gradient.x;
        t.gradient.y += o.gradient.y;
        t.gradient.z += o.gradient.z;
        t.offset += o.offset;
    }
    for (uint32_t i = 0; i < q.counts_.size(); ++i)
        counts_[i] += q.counts_[i];
}

double Quadric::evaluate(const FloatVector& p, const VectorN& s) const {
    const double x = p.x, y = p.y, z = p.z;
    double e = a_[5] * z * z + 2.0 * a_[4] * y * z + a_[3] * y * y + 2.0 * a_[2] * x * z +
               2.0 * a_[1] * x * y + a_[0] * x * x + 2.0 * b_[2] * z + 2.0 * b_[1] * y + 2.0 * b_[0] * x + c_;
    const uint32_t m = terms_.size();
    if (m > 0) {
        const uint32_t blockSize = m / counts_.size();
        for (uint32_t j = 0; j < m; ++j) {
            const Term& term = terms_[j];
            const double sj = s[j];
            const double gp = term.gradient.x * x + term.gradient.y * y + term.gradient.z * z;
            const double t = sj * gp + term.offset * sj;
            e = double(counts_[j / blockSize]) * sj * sj + 2.0 * t + e;
        }
    }
    return e >= ZERO_ERROR ? e : 0.0;
}

void Quadric::optimalAttributes(const FloatVector& p, VectorN& out) const {
    const uint32_t m = terms_.size();
    out.resize(m);
    if (m == 0)
        return;
    const double x = p.x, y = p.y, z = p.z;
    const uint32_t blockSize = m / counts_.size();
    for (uint32_t j = 0; j < m; ++j) {
        const Term& term = terms_[j];
        const double gp = term.gradient.x * x + term.gradient.y * y + term.gradient.z * z;
        out[j] = -(gp + term.offset) / double(counts_[j / blockSize]);
    }
}

bool Quadric::optimize(FloatVector& pOut, VectorN& sOut) const {
    const uint32_t m = terms_.size();
    const uint32_t n = m + 3;
    MatrixN mat(n, n);
    mat.fill(0.0);
    mat(0, 0) = a_[0];
    mat(0, 1) = mat(1, 0) = a_[1];
    mat(0, 2) = mat(2, 0) = a_[2];
    mat(1, 1) = a_[3];
    mat(1, 2) = mat(2, 1) = a_[4];
    mat(2, 2) = a_[5];
    const uint32_t blockSize = m > 0 ? m / counts_.size() : 1;
    for (uint32_t j = 0; j < m; ++j) {
        const DoubleVector& g = terms_[j].gradient;
        mat(3 + j, 0) = mat(0, 3 + j) = g.x;
        mat(3 + j, 1) = mat(1, 3 + j) = g.y;
        mat(3 + j, 2) = mat(2, 3 + j) = g.z;
        mat(3 + j, 3 + j) = double(counts_[j / blockSize]);
    }

    MatrixN inverse;
    const double det = invert(inverse, mat, n);
    if (!(std::fabs(det) >= SINGULAR))
        return false;

    VectorN r(n), x;
    r[0] = b_[0];
    r[1] = b_[1];
    r[2] = b_[2];
    for (uint32_t j = 0; j < m; ++j)
        r[3 + j] = terms_[j].offset;
    multiply(inverse, r, x);

    pOut = FloatVector{float(-x[0]), float(-x[1]), float(-x[2])};
    for (uint32_t j = 0; j < m; ++j)
        sOut[j] = -x[3 + j];
    return true;
}

bool Quadric::optimizeBlocks(FloatVector& pOut, VectorN& sOut) const {
    const uint32_t m = terms_.size();
    const uint32_t blockSize = m > 0 ? m / counts_.size() : 1;
    // The symmetric 3 x 3 system as s00, s01, s02, s11, s12, s22.
    double s[6] = {a_[0], a_[1], a_[2], a_[3], a_[4], a_[5]};
    double rhs[3] = {b_[0], b_[1], b_[2]};
    double countProduct = 1.0;
    for (uint32_t block = 0; block < counts_.size(); ++block) {
        const double count = double(counts_[block]);
        if (count == 0.0)
            return optimize(pOut, sOut);
        const double inverseCount = 1.0 / count;
        for (uint32_t j = block * blockSize; j < (block + 1) * blockSize; ++j) {
            const DoubleVector& g = terms_[j].gradient;
            const double gx = g.x * inverseCount, gy = g.y * inverseCount, gz = g.z * inverseCount;
            const double o = terms_[j].offset;
            s[0] -= gx * g.x;
            s[1] -= gx * g.y;
            s[2] -= gx * g.z;
            s[3] -= gy * g.y;
            s[4] -= gy * g.z;
            s[5] -= gz * g.z;
            rhs[0] -= gx * o;
            rhs[1] -= gy * o;
            rhs[2] -= gz * o;
            countProduct *= count;
        }
    }
    // Cramer's rule through the adjugate (symmetric, like the system).
    const double c00 = s[3] * s[5] - s[4] * s[4], c01 = s[2] * s[4] - s[1] * s[5],
                 c02 = s[1] * s[4] - s[2] * s[3], c11 = s[0] * s[5] - s[2] * s[2],
                 c12 = s[1] * s[2] - s[0] * s[4], c22 = s[0] * s[3] - s[1] * s[1];
    const double det3 = s[0] * c00 + s[1] * c01 + s[2] * c02;
    if (!(std::fabs(det3 * countProduct) >= SINGULAR))
        return false;
    const double x[3] = {(c00 * rhs[0] + c01 * rhs[1] + c02 * rhs[2]) / det3,
                         (c01 * rhs[0] + c11 * rhs[1] + c12 * rhs[2]) / det3,
                         (c02 * rhs[0] + c12 * rhs[1] + c22 * rhs[2]) / det3};
    pOut = FloatVector{float(-x[0]), float(-x[1]), float(-x[2])};
    for (uint32_t j = 0; j < m; ++j) {
        const DoubleVector& g = terms_[j].gradient;
        const double count = double(counts_[j / blockSize]);
        sOut[j] = -(terms_[j].offset - (g.x * x[0] + g.y * x[1] + g.z * x[2])) / count;
    }
    return true;
}

} // namespace gdx
