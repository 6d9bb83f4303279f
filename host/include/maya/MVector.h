// MVector: a direction in double precision. `a * b` is the dot product, `a ^ b` the cross product.
#pragma once

#include <cmath>
#include <iosfwd>

class MFloatVector;

class MVector {
public:
    MVector() = default;
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const MFloatVector& v);

    double length() const { return std::sqrt(x * x + y * y + z * z); }
    MVector normal() const {
        double l = length();
        return l > 0.0 ? MVector(x / l, y / l, z / l) : *this;
    }
    MVector& normalize() {
        *this = normal();
        return *this;
    }
    double operator*(const MVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MVector operator^(const MVector& o) const {
        return MVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MVector operator*(double s) const { return MVector(x * s, y * s, z * s); }
    MVector operator/(double s) const { return MVector(x / s, y / s, z / s); }
    MVector operator+(const MVector& o) const { return MVector(x + o.x, y + o.y, z + o.z); }
    MVector operator-(const MVector& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    MVector operator-() const { return MVector(-x, -y, -z); }
    MVector& operator+=(const MVector& o) {
        x += o.x, y += o.y, z += o.z;
        return *this;
    }
    MVector& operator-=(const MVector& o) {
        x -= o.x, y -= o.y, z -= o.z;
        return *this;
    }
    MVector& operator*=(double s) {
        x *= s, y *= s, z *= s;
        return *this;
    }
    bool operator==(const MVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MVector& o) const { return !(*this == o); }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
    bool isEquivalent(const MVector& o, double tolerance = 1e-10) const {
        return (*this - o).length() <= tolerance;
    }

    double x = 0.0, y = 0.0, z = 0.0;
};

inline MVector operator*(double s, const MVector& v) {
    return v * s;
}
std::ostream& operator<<(std::ostream& os, const MVector& v);
