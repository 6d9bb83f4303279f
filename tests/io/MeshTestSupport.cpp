#include "MeshTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace gxtest {
namespace fs = std::filesystem;

namespace {

std::array<float, 3> faceNormal(bool tilted) {
    if (!tilted)
        return {0, 0, 1};
    const float s = 1.0f / std::sqrt(1.25f);
    return {-0.5f * s, 0, s};
}

std::string rounded(float value, float step) {
    long q = std::lround(value / step);
    return std::to_string(q);
}

} // namespace

SceneMesh makeSheet(bool triangles, const std::string& name) {
    SceneMesh m;
    m.name = name;
    m.materials = {"paintA", "paintB"};
    for (int y = 0; y <= 2; ++y) {
        for (int x = 0; x <= 3; ++x) {
            const float z = x <= 1 ? 0.0f : 0.5f * static_cast<float>(x - 1);
            m.points.push_back({static_cast<float>(x), static_cast<float>(y), z});
        }
    }
    m.uvSets.resize(3);
    m.uvSets[0].name = "map1";
    m.uvSets[1].name = "map2";
    m.uvSets[2].name = "map3";
    std::map<std::tuple<int, int, float, float>, int32_t> ids; // (set, point, u, v) -> id
    auto uvId = [&](int set, int point, float u, float v) {
        auto key = std::make_tuple(set, point, u, v);
        auto found = ids.find(key);
        if (found != ids.end())
            return found->second;
        gxhost::SceneUVSet& s = m.uvSets[set];
        const int32_t id = static_cast<int32_t>(s.u.size());
        s.u.push_back(u);
        s.v.push_back(v);
        ids.emplace(key, id);
        return id;
    };
    auto addCorner = [&](int x, int y, int qx, int qy) {
        const int point = y * 4 + x;
        m.faceVertices.push_back(point);
        m.normals.push_back(faceNormal(qx >= 1));
        // Values that 8-bit colour formats store exactly.
        m.colors.push_back(
            {x / 3.0f, 0.4f * static_cast<float>(y), qy == 0 ? 0.2f : 0.6f, qy == 0 ? 1.0f : 0.4f});
        m.hasColor.push_back(1);
        m.uvSets[0].uvIds.push_back(uvId(0, point, x / 4.0f + (qx == 2 ? 0.5f : 0.0f), y / 4.0f));
        m.uvSets[1].uvIds.push_back(uvId(1, point, 0.25f * x + 0.125f, 0.25f * y));
        m.uvSets[2].uvIds.push_back(uvId(2, point, 0.5f * y, 0.375f * x + (qy == 1 ? 1.0f : 0.0f)));
    };
    for (int qy = 0; qy < 2; ++qy) {
        for (int qx = 0; qx < 3; ++qx) {
            const int32_t material = qx < 2 ? 0 : 1;
            const int corners[4][2] = {{qx, qy}, {qx + 1, qy}, {qx + 1, qy + 1}, {qx, qy + 1}};
            if (triangles) {
                const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
                for (const auto& tri : tris) {
                    for (int c : tri)
                        addCorner(corners[c][0], corners[c][1], qx, qy);
                    m.faceCounts.push_back(3);
                    m.faceMaterial.push_back(material);
                }
            } else {
                for (const auto& c : corners)
                    addCorner(c[0], c[1], qx, qy);
                m.faceCounts.push_back(4);
                m.faceMaterial.push_back(material);
            }
        }
    }
    return m;
}

std::vector<std::pair<int32_t, int32_t>> boundaryEdges(const SceneMesh& mesh) {
    std::map<std::pair<int32_t, int32_t>, int> uses;
    size_t start = 0;
    for (int32_t count : mesh.faceCounts) {
        for (int32_t j = 0; j < count; ++j) {
            const int32_t a = mesh.faceVertices[start + j];
            const int32_t b = mesh.faceVertices[start + (j + 1) % count];
            ++uses[{std::min(a, b), std::max(a, b)}];
        }
        start += static_cast<size_t>(count);
    }
    std::vector<std::pair<int32_t, int32_t>> edges;
    for (const auto& [edge, faces] : uses)
        if (faces == 1)
            edges.push_back(edge);
    return edges;
}

size_t boundaryEdgeCount(const SceneMesh& mesh) {
    return boundaryEdges(mesh).size();
}

std::vector<std::string> canonicalFaces(const SceneMesh& mesh, float colorStep) {
    const float step = 1e-4f;
    std::vector<std::string> faces;
    size_t start = 0;
    for (size_t f = 0; f < mesh.faceCounts.size(); ++f) {
        const size_t count = static_cast<size_t>(mesh.faceCounts[f]);
        std::vector<std::string> corners;
        for (size_t c = start; c < start + count; ++c) {
            std::ostringstream s;
            const auto& p = mesh.points[mesh.faceVertices[c]];
            s << "p(" << rounded(p[0], step) << "," << rounded(p[1], step) << "," << rounded(p[2], step)
              << ")";
            if (!mesh.normals.empty()) {
                const auto& n = mesh.normals[c];
                s << " n(" << rounded(n[0], step) << "," << rounded(n[1], step) << "," << rounded(n[2], step)
                  << ")";
            }
            if (!mesh.colors.empty() && mesh.hasColor[c]) {
                const auto& col = mesh.colors[c];
                s << " c(" << rounded(col[0], colorStep) << "," << rounded(col[1], colorStep) << ","
                  << rounded(col[2], colorStep) << "," << rounded(col[3], colorStep) << ")";
            }
            for (const auto& set : mesh.uvSets) {
                const int32_t id = set.uvIds[c];
                s << " " << set.name << "(";
                if (id >= 0)
                    s << rounded(set.u[id], step) << "," << rounded(set.v[id], step);
                s << ")";
            }
            corners.push_back(s.str());
        }
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
        std::string face = "[";
        for (const auto& c : corners)
            face += c + "; ";
        if (!mesh.faceMaterial.empty()) {
            const int32_t mat = mesh.faceMaterial[f];
            face += "mat " + (mat >= 0 ? mesh.materials[mat] : std::string("-"));
        }
        faces.push_back(face + "]");
        start += count;
    }
    std::sort(faces.begin(), faces.end());
    return faces;
}

const SceneMesh* findMesh(const std::vector<SceneMesh>& meshes, const std::string& name) {
    for (const SceneMesh& m : meshes)
        if (m.name == name)
            return &m;
    return nullptr;
}

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "gxio_test_XXXXXX").string();
    dir_ = mkdtemp(pattern.data()) ? pattern : std::string();
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::vector<std::string> ScratchDir::files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        if (!entry.is_directory() || fs::is_empty(entry.path()))
            names.push_back(fs::relative(entry.path(), dir_).string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string modelPath(const std::string& relative) {
    return std::string(GX_ASSIMP_MODELS) + "/" + relative;
}

bool modelsInstalled() {
    return fs::is_directory(GX_ASSIMP_MODELS);
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace gxtest
