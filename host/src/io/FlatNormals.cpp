#include "FlatNormals.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gxhost {
namespace {

using Vector = std::array<double, 3>;

// Twice the polygon's area long; any polygon, convex or not.
Vector newellNormal(const Vector3f* const* corners, int count) {
    Vector n{0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i) {
        const Vector3f &p = *corners[i], &q = *corners[(i + 1) % count];
        n[0] += (double(p[1]) - q[1]) * (double(p[2]) + q[2]);
        n[1] += (double(p[2]) - q[2]) * (double(p[0]) + q[0]);
        n[2] += (double(p[0]) - q[0]) * (double(p[1]) + q[1]);
    }
    return n;
}

double length(const Vector& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// A normal shorter than this, against the polygon's largest coordinate squared, has no direction.
constexpr double kNoArea = 1e-12;

bool hasArea(const Vector3f* const* corners, int count, const Vector& n) {
    double extent = 0.0;
    for (int i = 0; i < count; ++i)
        for (float c : *corners[i])
            extent = std::max(extent, std::fabs(double(c)));
    return length(n) > kNoArea * extent * extent;
}

// Calls visit(corners, first, count) for every polygon of at least three corners.
template <typename Visit> void forEachPolygon(const SceneMesh& mesh, Visit visit) {
    std::vector<const Vector3f*> corners;
    size_t first = 0;
    for (int32_t count : mesh.faceCounts) {
        if (count >= 3) {
            corners.clear();
            for (int32_t i = 0; i < count; ++i)
                corners.push_back(&mesh.points[size_t(mesh.faceVertices[first + size_t(i)])]);
            visit(corners.data(), first, count);
        }
        first += size_t(count);
    }
}

} // namespace

bool followsItsPolygon(const Vector3f* const* corners, const Vector3f* const* normals, int count) {
    constexpr double kSameDirection = 1.0 - 1e-6; // cosine
    const Vector n = newellNormal(corners, count);
    if (!hasArea(corners, count, n))
        return true;
    const double nLength = length(n);
    for (int i = 0; i < count; ++i) {
        const Vector3f& c = *normals[i];
        const Vector corner{c[0], c[1], c[2]};
        if (corner[0] * n[0] + corner[1] * n[1] + corner[2] * n[2] <
            kSameDirection * length(corner) * nLength)
            return false;
    }
    return true;
}

Vector3f polygonUnitNormal(const Vector3f* const* corners, int count) {
    const Vector n = newellNormal(corners, count);
    if (!hasArea(corners, count, n))
        return {0.0f, 0.0f, 1.0f};
    const double l = length(n);
    return {float(n[0] / l), float(n[1] / l), float(n[2] / l)};
}

bool hasFlatNormals(const SceneMesh& mesh) {
    if (mesh.normals.size() != mesh.faceVertices.size() || mesh.normals.empty())
        return false;
    bool flat = true;
    std::vector<const Vector3f*> normals;
    forEachPolygon(mesh, [&](const Vector3f* const* corners, size_t first, int32_t count) {
        if (!flat)
            return;
        normals.clear();
        for (int32_t i = 0; i < count; ++i)
            normals.push_back(&mesh.normals[first + size_t(i)]);
        flat = followsItsPolygon(corners, normals.data(), count);
    });
    return flat;
}

void setFlatNormals(SceneMesh& mesh) {
    mesh.normals.assign(mesh.faceVertices.size(), {0.0f, 0.0f, 1.0f});
    forEachPolygon(mesh, [&](const Vector3f* const* corners, size_t first, int32_t count) {
        const Vector3f n = polygonUnitNormal(corners, count);
        std::fill_n(mesh.normals.begin() + long(first), count, n);
    });
}

} // namespace gxhost
