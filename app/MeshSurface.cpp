#include "MeshSurface.h"

#include "Triangulator.h"

#include <algorithm>
#include <map>
#include <string>

namespace gradix {
namespace {

using Matrix = std::array<double, 16>;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                m[4 * r + c] += a[4 * r + k] * b[4 * k + c];
    return m;
}

} // namespace

gxmeasure::Surface toSurface(const std::vector<const gxhost::SceneMesh*>& meshes) {
    std::map<std::string, const gxhost::SceneMesh*> byName;
    for (const gxhost::SceneMesh* mesh : meshes)
        byName[mesh->name] = mesh;
    bool uvs = true;
    for (const gxhost::SceneMesh* mesh : meshes)
        uvs = uvs && !mesh->uvSets.empty() &&
              std::find(mesh->uvSets[0].uvIds.begin(), mesh->uvSets[0].uvIds.end(), -1) ==
                  mesh->uvSets[0].uvIds.end();

    gxmeasure::Surface surface;
    for (const gxhost::SceneMesh* mesh : meshes) {
        Matrix world = mesh->transform;
        size_t depth = 0;
        for (auto up = byName.find(mesh->parent); up != byName.end() && depth < byName.size();
             up = byName.find(up->second->parent), ++depth)
            world = multiply(up->second->transform, world);
        const uint32_t base = static_cast<uint32_t>(surface.points.size());
        for (const auto& p : mesh->points) {
            std::array<double, 3> q{};
            for (int r = 0; r < 3; ++r)
                q[r] = world[4 * r] * p[0] + world[4 * r + 1] * p[1] + world[4 * r + 2] * p[2] + world[4 * r + 3];
            surface.points.push_back(q);
        }
        size_t corner = 0;
        std::vector<std::array<double, 3>> corners;
        for (int32_t count : mesh->faceCounts) {
            corners.clear();
            for (int32_t i = 0; i < count; ++i)
                corners.push_back(surface.points[base + mesh->faceVertices[corner + i]]);
            for (const auto& t : gxhost::triangulatePolygon(corners).triangles) {
                surface.triangles.push_back({base + uint32_t(mesh->faceVertices[corner + t[0]]),
                                             base + uint32_t(mesh->faceVertices[corner + t[1]]),
                                             base + uint32_t(mesh->faceVertices[corner + t[2]])});
                if (uvs) {
                    const gxhost::SceneUVSet& set = mesh->uvSets[0];
                    for (int k = 0; k < 3; ++k) {
                        const int32_t id = set.uvIds[corner + t[k]];
                        surface.uvs.push_back({set.u[id], set.v[id]});
                    }
                }
            }
            corner += count;
        }
    }
    return surface;
}

gxmeasure::Surface toSurface(const std::vector<gxhost::SceneMesh>& meshes) {
    std::vector<const gxhost::SceneMesh*> pointers;
    for (const auto& mesh : meshes)
        pointers.push_back(&mesh);
    return toSurface(pointers);
}

} // namespace gradix
