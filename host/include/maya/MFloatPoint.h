// MFloatPoint: a homogeneous position in single precision (w is 1 for ordinary points).
#pragma once

#include <maya/MFloatVector.h>
#include <maya/MPoint.h>

class MFloatPoint {
public:
    MFloatPoint() = default;
    MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f) : x(xx), y(yy), z(zz), w(ww) {}
    explicit MFloatPoint(const MPoint& p)
        : x(static_cast<float>(p.x)), y(static_cast<float>(p.y)), z(static_cast<float>(p.z)),
          w(static_cast<float>(p.w)) {}

    float distanceTo(const MFloatPoint& o) const { return (*this - o).length(); }
    MFloatVector operator-(const MFloatPoint& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatPoint operator+(const MFloatVector& v) const { return MFloatPoint(x + v.x, y + v.y, z + v.z, w); }
    bool operator==(const MFloatPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MFloatPoint& o) const { return !(*this == o); }
    float operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

inline MPoint::MPoint(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z), w(p.w) {}
