// MFloatVector: a direction in single precision; `a * b` is the dot product, `a ^ b` the cross product.
#pragma once

#include <maya/MVector.h>

class MFloatVector {
public:
    MFloatVector() = default;
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    explicit MFloatVector(const MVector& v)
        : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)), z(static_cast<float>(v.z)) {}

    float length() const { return std::sqrt(x * x + y * y + z * z); }
    MFloatVector normal() const {
        float l = length();
        return l > 0.0f ? MFloatVector(x / l, y / l, z / l) : *this;
    }
    MFloatVector& normalize() {
        *this = normal();
        return *this;
    }
    float operator*(const MFloatVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MFloatVector operator^(const MFloatVector& o) const {
        return MFloatVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MFloatVector operator*(float s) const { return MFloatVector(x * s, y * s, z * s); }
    MFloatVector operator+(const MFloatVector& o) const { return MFloatVector(x + o.x, y + o.y, z + o.z); }
    MFloatVector operator-(const MFloatVector& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }
    bool operator==(const MFloatVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MFloatVector& o) const { return !(*this == o); }
    float operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }

    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline MVector::MVector(const MFloatVector& v) : x(v.x), y(v.y), z(v.z) {}
