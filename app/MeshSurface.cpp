#include "MeshSurface.h"

#include "MeshInfo.h"
#include "Triangulator.h"

#include <algorithm>
#include <map>
#include <string>

namespace gradix {
namespace {

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                m[4 * r + c] += a[4 * r + k] * b[4 * k + c];
    return m;
}

} // namespace

std::vector<Matrix4> worldTransforms(const std::vector<const gxhost::SceneMesh*>& meshes) {
    std::map<std::string, const gxhost::SceneMesh*> byName;
    for (const gxhost::SceneMesh* mesh : meshes)
        byName[mesh->name] = mesh;
    std::vector<Matrix4> worlds;
    for (const gxhost::SceneMesh* mesh : meshes) {
        Matrix4 world = mesh->transform;
        size_t depth = 0;
        for (auto up = byName.find(mesh->parent); up != byName.end() && depth < byName.size();
             up = byName.find(up->second->parent), ++depth)
            world = multiply(up->second->transform, world);
        worlds.push_back(world);
    }
    return worlds;
}

bool allHaveUVs(const std::vector<const gxhost::SceneMesh*>& meshes) {
    for (const gxhost::SceneMesh* mesh : meshes) {
        if (mesh->uvSets.empty())
            return false;
        const auto& ids = mesh->uvSets[0].uvIds;
        if (std::find(ids.begin(), ids.end(), -1) != ids.end())
            return false;
    }
    return true;
}

void appendSurface(gxmeasure::Surface& surface, const gxhost::SceneMesh& mesh, const Matrix4& world,
                   bool uvs) {
    const uint32_t base = static_cast<uint32_t>(surface.points.size());
    const size_t triangles = polygonTriangles(mesh); // at most
    surface.points.reserve(surface.points.size() + mesh.points.size());
    surface.triangles.reserve(surface.triangles.size() + triangles);
    if (uvs)
        surface.uvs.reserve(surface.uvs.size() + 3 * triangles);
    for (const auto& p : mesh.points) {
        std::array<double, 3> q{};
        for (int r = 0; r < 3; ++r)
            q[r] = world[4 * r] * p[0] + world[4 * r + 1] * p[1] + world[4 * r + 2] * p[2] + world[4 * r + 3];
        surface.points.push_back(q);
    }
    size_t corner = 0;
    std::vector<std::array<double, 3>> corners;
    gxhost::Triangulation triangulation;
    for (int32_t count : mesh.faceCounts) {
        corners.clear();
        for (int32_t i = 0; i < count; ++i)
            corners.push_back(surface.points[base + mesh.faceVertices[corner + i]]);
        gxhost::triangulatePolygon(corners, triangulation);
        for (const auto& t : triangulation.triangles) {
            surface.triangles.push_back({base + uint32_t(mesh.faceVertices[corner + t[0]]),
                                         base + uint32_t(mesh.faceVertices[corner + t[1]]),
                                         base + uint32_t(mesh.faceVertices[corner + t[2]])});
            if (uvs) {
                const gxhost::SceneUVSet& set = mesh.uvSets[0];
                for (int k = 0; k < 3; ++k) {
                    const int32_t id = set.uvIds[corner + t[k]];
                    surface.uvs.push_back({set.u[id], set.v[id]});
                }
            }
        }
        corner += count;
    }
}

gxmeasure::Surface toSurface(const std::vector<const gxhost::SceneMesh*>& meshes) {
    const std::vector<Matrix4> worlds = worldTransforms(meshes);
    const bool uvs = allHaveUVs(meshes);
    gxmeasure::Surface surface;
    for (size_t i = 0; i < meshes.size(); ++i)
        appendSurface(surface, *meshes[i], worlds[i], uvs);
    return surface;
}

} // namespace gradix
