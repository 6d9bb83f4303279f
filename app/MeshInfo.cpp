#include "MeshInfo.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace gradix {

uint64_t polygonTriangles(const gxhost::SceneMesh& mesh) {
    uint64_t triangles = 0;
    for (int32_t c : mesh.faceCounts)
        triangles += c >= 3 ? static_cast<uint64_t>(c - 2) : 0;
    return triangles;
}

MeshInfo MeshInfo::of(const gxhost::SceneMesh& mesh) {
    MeshInfo info;
    info.name = mesh.name;
    info.vertices = mesh.points.size();
    info.faces = mesh.faceCounts.size();
    info.triangles = polygonTriangles(mesh);
    for (const gxhost::SceneUVSet& set : mesh.uvSets)
        info.uvSets.push_back(set.name);
    info.normals = !mesh.normals.empty();
    info.colors = std::find(mesh.hasColor.begin(), mesh.hasColor.end(), 1) != mesh.hasColor.end();
    std::vector<bool> used(mesh.materials.size(), false);
    for (int32_t m : mesh.faceMaterial)
        if (m >= 0 && static_cast<size_t>(m) < used.size())
            used[static_cast<size_t>(m)] = true;
    for (size_t m = 0; m < used.size(); ++m)
        if (used[m])
            info.materials.push_back(mesh.materials[m]);

    if (!mesh.points.empty()) {
        info.boundsMin.fill(std::numeric_limits<double>::max());
        info.boundsMax.fill(std::numeric_limits<double>::lowest());
        for (const auto& p : mesh.points)
            for (int k = 0; k < 3; ++k) {
                info.boundsMin[k] = std::min(info.boundsMin[k], static_cast<double>(p[k]));
                info.boundsMax[k] = std::max(info.boundsMax[k], static_cast<double>(p[k]));
            }
    }

    // Every polygon side as a sorted point pair; equal pairs are one edge, counted by its faces.
    std::vector<std::pair<int32_t, int32_t>> sides;
    sides.reserve(mesh.faceVertices.size());
    size_t start = 0;
    for (int32_t count : mesh.faceCounts) {
        for (int32_t c = 0; c < count; ++c) {
            const int32_t a = mesh.faceVertices[start + static_cast<size_t>(c)];
            const int32_t b = mesh.faceVertices[start + static_cast<size_t>((c + 1) % count)];
            if (a != b)
                sides.emplace_back(std::min(a, b), std::max(a, b));
        }
        start += static_cast<size_t>(count);
    }
    std::sort(sides.begin(), sides.end());
    for (size_t i = 0; i < sides.size();) {
        size_t j = i;
        while (j < sides.size() && sides[j] == sides[i])
            ++j;
        if (j - i == 1)
            ++info.boundaryEdges;
        else if (j - i > 2)
            ++info.nonManifoldEdges;
        i = j;
    }
    return info;
}

} // namespace gradix
