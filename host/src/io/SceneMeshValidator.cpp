#include "SceneMeshValidator.h"

#include <cmath>

namespace gxhost {
namespace {

template <size_t N> bool allFinite(const std::array<float, N>& values) {
    for (float v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

bool checkFaces(const SceneMesh& mesh, std::string& problem) {
    size_t corners = 0;
    for (size_t f = 0; f < mesh.faceCounts.size(); ++f) {
        if (mesh.faceCounts[f] < 3) {
            problem = "face " + std::to_string(f) + " has " + std::to_string(mesh.faceCounts[f]) + " corners";
            return false;
        }
        corners += static_cast<size_t>(mesh.faceCounts[f]);
    }
    if (corners != mesh.faceVertices.size()) {
        problem = "face counts add up to " + std::to_string(corners) + " face-vertices but there are " +
                  std::to_string(mesh.faceVertices.size());
        return false;
    }
    if (mesh.faceCounts.empty()) {
        problem = "no polygon";
        return false;
    }
    for (size_t i = 0; i < mesh.faceVertices.size(); ++i) {
        const int32_t p = mesh.faceVertices[i];
        if (p < 0 || static_cast<size_t>(p) >= mesh.points.size()) {
            problem = "face-vertex " + std::to_string(i) + " refers to point " + std::to_string(p) + " of " +
                      std::to_string(mesh.points.size());
            return false;
        }
    }
    for (size_t p = 0; p < mesh.points.size(); ++p) {
        if (!allFinite(mesh.points[p])) {
            problem = "point " + std::to_string(p) + " has a NaN or infinite position";
            return false;
        }
    }
    return true;
}

bool checkUVSets(const SceneMesh& mesh, std::string& problem) {
    for (const SceneUVSet& set : mesh.uvSets) {
        const std::string label = "UV set '" + set.name + "'";
        if (set.u.size() != set.v.size() || set.uvIds.size() != mesh.faceVertices.size()) {
            problem = label + " has arrays of the wrong size";
            return false;
        }
        for (size_t i = 0; i < set.u.size(); ++i) {
            if (!std::isfinite(set.u[i]) || !std::isfinite(set.v[i])) {
                problem = label + ": UV " + std::to_string(i) + " is NaN or infinite";
                return false;
            }
        }
        for (size_t i = 0; i < set.uvIds.size(); ++i) {
            const int32_t id = set.uvIds[i];
            if (id < -1 || (id >= 0 && static_cast<size_t>(id) >= set.u.size())) {
                problem = label + ": face-vertex " + std::to_string(i) + " refers to UV " +
                          std::to_string(id) + " of " + std::to_string(set.u.size());
                return false;
            }
        }
    }
    return true;
}

bool checkCornerAttributes(const SceneMesh& mesh, std::string& problem) {
    const size_t corners = mesh.faceVertices.size();
    if (!mesh.normals.empty() && mesh.normals.size() != corners) {
        problem = "has " + std::to_string(mesh.normals.size()) + " normals for " + std::to_string(corners) +
                  " face-vertices";
        return false;
    }
    if (!mesh.colors.empty() && (mesh.colors.size() != corners || mesh.hasColor.size() != corners)) {
        problem = "has colour arrays of the wrong size";
        return false;
    }
    for (size_t i = 0; i < mesh.normals.size(); ++i) {
        if (!allFinite(mesh.normals[i])) {
            problem = "face-vertex " + std::to_string(i) + " has a NaN or infinite normal";
            return false;
        }
    }
    for (size_t i = 0; i < mesh.colors.size(); ++i) {
        if (mesh.hasColor[i] && !allFinite(mesh.colors[i])) {
            problem = "face-vertex " + std::to_string(i) + " has a NaN or infinite colour";
            return false;
        }
    }
    return true;
}

bool checkMaterials(const SceneMesh& mesh, std::string& problem) {
    if (!mesh.faceMaterial.empty() && mesh.faceMaterial.size() != mesh.faceCounts.size()) {
        problem = "has " + std::to_string(mesh.faceMaterial.size()) + " face materials for " +
                  std::to_string(mesh.faceCounts.size()) + " faces";
        return false;
    }
    for (size_t f = 0; f < mesh.faceMaterial.size(); ++f) {
        const int32_t m = mesh.faceMaterial[f];
        if (m < -1 || (m >= 0 && static_cast<size_t>(m) >= mesh.materials.size())) {
            problem = "face " + std::to_string(f) + " refers to material " + std::to_string(m) + " of " +
                      std::to_string(mesh.materials.size());
            return false;
        }
    }
    return true;
}

} // namespace

bool validateSceneMesh(const SceneMesh& mesh, std::string& problem) {
    for (double t : mesh.transform) {
        if (!std::isfinite(t)) {
            problem = "the transform holds a NaN or infinite value";
            return false;
        }
    }
    return checkFaces(mesh, problem) && checkUVSets(mesh, problem) && checkCornerAttributes(mesh, problem) &&
           checkMaterials(mesh, problem);
}

} // namespace gxhost
