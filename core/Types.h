// Plain value types of the simplification core. They carry the values of the host's float point,
// float vector, double vector and colour types without depending on the host.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace gdx {

// "No index": -1 as an unsigned 32-bit value.
constexpr uint32_t INVALID_INDEX = std::numeric_limits<uint32_t>::max();

struct FloatPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

struct FloatVector {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct DoubleVector {
    double x = 0.0, y = 0.0, z = 0.0;
};

struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

inline bool operator==(const DoubleVector& l, const DoubleVector& r) {
    return l.x == r.x && l.y == r.y && l.z == r.z;
}
inline bool operator==(const Color& l, const Color& r) {
    return l.r == r.r && l.g == r.g && l.b == r.b && l.a == r.a;
}

inline DoubleVector operator-(const DoubleVector& l, const DoubleVector& r) {
    return {l.x - r.x, l.y - r.y, l.z - r.z};
}
inline double dot(const DoubleVector& l, const DoubleVector& r) {
    return l.x * r.x + l.y * r.y + l.z * r.z;
}
inline DoubleVector cross(const DoubleVector& l, const DoubleVector& r) {
    return {l.y * r.z - l.z * r.y, l.z * r.x - l.x * r.z, l.x * r.y - l.y * r.x};
}
inline DoubleVector toDouble(const FloatPoint& p) {
    return {p.x, p.y, p.z};
}

using FloatPointArray = std::vector<FloatPoint>;
using FloatVectorArray = std::vector<FloatVector>;
using DoubleVectorArray = std::vector<DoubleVector>;
using ColorArray = std::vector<Color>;
using FloatArray = std::vector<float>;
using IndexArray = std::vector<uint32_t>;

// Fill values of a new model's per-wedge arrays: "not set yet".
extern const DoubleVector UNSET_NORMAL;
extern const Color UNSET_COLOR;
extern const float UNSET_UV;

} // namespace gdx
