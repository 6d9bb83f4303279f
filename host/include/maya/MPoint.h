// MPoint: a homogeneous position in double precision (w is 1 for ordinary points).
#pragma once

#include <maya/MVector.h>

#include <iosfwd>

class MFloatPoint;

class MPoint {
public:
    MPoint() = default;
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const MVector& v) : x(v.x), y(v.y), z(v.z) {}
    MPoint(const MFloatPoint& p);

    double distanceTo(const MPoint& o) const { return (*this - o).length(); }
    MVector operator-(const MPoint& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    MPoint operator+(const MVector& v) const { return MPoint(x + v.x, y + v.y, z + v.z, w); }
    MPoint operator-(const MVector& v) const { return MPoint(x - v.x, y - v.y, z - v.z, w); }
    MPoint& operator+=(const MVector& v) {
        x += v.x, y += v.y, z += v.z;
        return *this;
    }
    MPoint operator*(double s) const { return MPoint(x * s, y * s, z * s, w); }
    MPoint operator/(double s) const { return MPoint(x / s, y / s, z / s, w); }
    bool operator==(const MPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MPoint& o) const { return !(*this == o); }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    bool isEquivalent(const MPoint& o, double tolerance = 1e-10) const { return distanceTo(o) <= tolerance; }
    MPoint& cartesianize() {
        if (w != 0.0 && w != 1.0) {
            x /= w, y /= w, z /= w, w = 1.0;
        }
        return *this;
    }

    static const MPoint origin;

    double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
};

std::ostream& operator<<(std::ostream& os, const MPoint& p);
