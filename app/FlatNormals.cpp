#include "FlatNormals.h"

#include <algorithm>
#include <cmath>

namespace gradix {
namespace {

using Vector = std::array<double, 3>;

// The polygon's normal by Newell's method (twice its area long; any polygon, convex or not).
Vector polygonNormal(const gxhost::SceneMesh& mesh, size_t first, int32_t count) {
    Vector n{0.0, 0.0, 0.0};
    for (int32_t i = 0; i < count; ++i) {
        const auto& p = mesh.points[size_t(mesh.faceVertices[first + size_t(i)])];
        const auto& q = mesh.points[size_t(mesh.faceVertices[first + size_t((i + 1) % count)])];
        n[0] += (double(p[1]) - q[1]) * (double(p[2]) + q[2]);
        n[1] += (double(p[2]) - q[2]) * (double(p[0]) + q[0]);
        n[2] += (double(p[0]) - q[0]) * (double(p[1]) + q[1]);
    }
    return n;
}

double length(const Vector& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// A polygon's normal shorter than this, against its longest coordinate squared, has no direction.
constexpr double kNoArea = 1e-12;

template <typename Visit> void forEachPolygon(const gxhost::SceneMesh& mesh, Visit visit) {
    size_t first = 0;
    for (int32_t count : mesh.faceCounts) {
        visit(first, count);
        first += size_t(count);
    }
}

bool hasArea(const gxhost::SceneMesh& mesh, size_t first, int32_t count, const Vector& n) {
    double extent = 0.0;
    for (int32_t i = 0; i < count; ++i)
        for (float c : mesh.points[size_t(mesh.faceVertices[first + size_t(i)])])
            extent = std::max(extent, std::fabs(double(c)));
    return length(n) > kNoArea * extent * extent;
}

} // namespace

bool hasFlatNormals(const gxhost::SceneMesh& mesh) {
    if (mesh.normals.size() != mesh.faceVertices.size() || mesh.normals.empty())
        return false;
    constexpr double kSameDirection = 1.0 - 1e-6; // cosine
    bool flat = true;
    forEachPolygon(mesh, [&](size_t first, int32_t count) {
        if (!flat || count < 3)
            return;
        const Vector n = polygonNormal(mesh, first, count);
        if (!hasArea(mesh, first, count, n))
            return;
        const double nLength = length(n);
        for (int32_t i = 0; i < count && flat; ++i) {
            const auto& c = mesh.normals[first + size_t(i)];
            const Vector corner{c[0], c[1], c[2]};
            flat = corner[0] * n[0] + corner[1] * n[1] + corner[2] * n[2] >=
                   kSameDirection * length(corner) * nLength;
        }
    });
    return flat;
}

void setFlatNormals(gxhost::SceneMesh& mesh) {
    mesh.normals.assign(mesh.faceVertices.size(), {0.0f, 0.0f, 1.0f});
    forEachPolygon(mesh, [&](size_t first, int32_t count) {
        if (count < 3)
            return;
        const Vector n = polygonNormal(mesh, first, count);
        if (!hasArea(mesh, first, count, n))
            return;
        const double l = length(n);
        for (int32_t i = 0; i < count; ++i)
            mesh.normals[first + size_t(i)] = {float(n[0] / l), float(n[1] / l), float(n[2] / l)};
    });
}

} // namespace gradix
