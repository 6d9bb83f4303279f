// Makes the sample asset for the gradix tool: a rolling terrain sheet ("Terrain") of quads with
//   - three UV sets: "map1" split into two islands down the middle (a UV seam), "lightmap" one
//     continuous island, "detail" tiled four times;
//   - smooth per-corner normals, and vertex colours from grass green in the valleys to snow white on
//     the tops, whose alpha marks a round patch (for --weights-from-color a);
//   - two materials, "Grass" below a height and "Rock" above it, with base colours (glb only);
//   - an open border all around.
//
// Usage: gradix-make-sample OUT [QUADS_X QUADS_Y]   (default 48 x 40 quads: 3,840 triangles)
// The same arguments always give the same file.
#include "SceneMesh.h"
#include "io/MeshExporter.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWidth = 12.0, kDepth = 10.0;

double heightAt(double x, double z) {
    const double hill = 1.6 * std::exp(-((x - 3.5) * (x - 3.5) + (z - 2.0) * (z - 2.0)) / 4.0);
    const double ridge = 0.9 * std::exp(-((x + 3.0) * (x + 3.0)) / 3.0) * (0.6 + 0.4 * std::sin(z));
    const double waves = 0.15 * std::sin(1.7 * x) * std::cos(1.3 * z);
    return hill + ridge + waves;
}

std::array<float, 3> normalAt(double x, double z) {
    const double e = 1e-3;
    const double dx = (heightAt(x + e, z) - heightAt(x - e, z)) / (2 * e);
    const double dz = (heightAt(x, z + e) - heightAt(x, z - e)) / (2 * e);
    const double length = std::sqrt(dx * dx + 1.0 + dz * dz);
    return {static_cast<float>(-dx / length), static_cast<float>(1.0 / length),
            static_cast<float>(-dz / length)};
}

gxhost::SceneMesh makeTerrain(int nx, int nz) {
    gxhost::SceneMesh mesh;
    mesh.name = "Terrain";
    mesh.materials = {"Grass", "Rock"};
    mesh.uvSets = {{"map1", {}, {}, {}}, {"lightmap", {}, {}, {}}, {"detail", {}, {}, {}}};
    gxhost::SceneUVSet &map1 = mesh.uvSets[0], &lightmap = mesh.uvSets[1], &detail = mesh.uvSets[2];
    const int columns = nx + 1;
    auto xAt = [&](int i) { return -kWidth / 2 + kWidth * i / nx; };
    auto zAt = [&](int j) { return -kDepth / 2 + kDepth * j / nz; };
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= nx; ++i) {
            const double x = xAt(i), z = zAt(j);
            mesh.points.push_back(
                {static_cast<float>(x), static_cast<float>(heightAt(x, z)), static_cast<float>(z)});
            const float s = static_cast<float>(i) / nx, t = static_cast<float>(j) / nz;
            lightmap.u.push_back(s);
            lightmap.v.push_back(t);
            detail.u.push_back(4.0f * s);
            detail.v.push_back(4.0f * t);
        }
    // map1: two islands side by side; the middle column has one UV in each.
    const int half = nx / 2;
    std::vector<int> leftId(mesh.points.size(), -1), rightId(mesh.points.size(), -1);
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= nx; ++i) {
            const int v = j * columns + i;
            const float t = static_cast<float>(j) / nz;
            if (i <= half) {
                leftId[v] = static_cast<int>(map1.u.size());
                map1.u.push_back(0.48f * i / half);
                map1.v.push_back(t);
            }
            if (i >= half) {
                rightId[v] = static_cast<int>(map1.u.size());
                map1.u.push_back(0.52f + 0.48f * (i - half) / (nx - half));
                map1.v.push_back(t);
            }
        }
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < nx; ++i) {
            const int a = j * columns + i;
            const int corners[4] = {a, a + columns, a + columns + 1, a + 1}; // counter-clockwise from +y
            mesh.faceCounts.push_back(4);
            double height = 0.0;
            for (int v : corners) {
                mesh.faceVertices.push_back(v);
                map1.uvIds.push_back(i < half ? leftId[v] : rightId[v]);
                lightmap.uvIds.push_back(v);
                detail.uvIds.push_back(v);
                const auto& p = mesh.points[static_cast<size_t>(v)];
                mesh.normals.push_back(normalAt(p[0], p[2]));
                const float snow = static_cast<float>(std::min(1.0, std::max(0.0, (p[1] - 0.3) / 1.3)));
                const double patch = std::hypot(p[0] + 3.0, p[2] + 2.5);
                const float painted =
                    patch < 2.0 ? static_cast<float>(0.5 + 0.5 * std::cos(kPi * patch / 2.0)) : 0.0f;
                mesh.colors.push_back(
                    {0.25f + 0.75f * snow, 0.55f + 0.45f * snow, 0.2f + 0.8f * snow, painted});
                mesh.hasColor.push_back(1);
                height += p[1] / 4.0;
            }
            mesh.faceMaterial.push_back(height > 0.8 ? 1 : 0);
        }
    return mesh;
}

uint32_t readU32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

void writeU32(std::string& bytes, size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xff);
}

// The mesh writer keeps materials by name only; the sample's get their base colours written into
// the glb's JSON chunk afterwards (grass a fresh green tint, rock a warm grey).
bool paintMaterials(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0 || bytes.compare(16, 4, "JSON") != 0)
        return path.size() < 4 || path.compare(path.size() - 4, 4, ".glb") != 0; // not a glb: left as is
    const uint32_t jsonLength = readU32(bytes, 12);
    nlohmann::ordered_json gltf = nlohmann::ordered_json::parse(bytes.substr(20, jsonLength), nullptr, false);
    if (gltf.is_discarded())
        return false;
    const std::pair<const char*, std::array<double, 4>> colours[] = {{"Grass", {0.8, 1.0, 0.7, 1.0}},
                                                                      {"Rock", {0.78, 0.62, 0.5, 1.0}}};
    for (auto& material : gltf["materials"])
        for (const auto& [name, colour] : colours)
            if (material.value("name", "") == name)
                material["pbrMetallicRoughness"]["baseColorFactor"] = colour;
    std::string text = gltf.dump();
    text.append((4 - text.size() % 4) % 4, ' ');
    std::string out = bytes.substr(0, 20) + text + bytes.substr(20 + jsonLength);
    writeU32(out, 12, static_cast<uint32_t>(text.size()));
    writeU32(out, 8, static_cast<uint32_t>(out.size()));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s OUT [QUADS_X QUADS_Y]\n", argv[0]);
        return 2;
    }
    const int nx = argc == 4 ? std::atoi(argv[2]) : 48;
    const int nz = argc == 4 ? std::atoi(argv[3]) : 40;
    if (nx < 2 || nz < 1 || nx > 20000 || nz > 20000) {
        std::fprintf(stderr, "%s: the quad counts must be 2..20000 and 1..20000\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!gxhost::exportSceneFile(argv[1], "", {makeTerrain(nx, nz)}, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!paintMaterials(argv[1])) {
        std::fprintf(stderr, "%s: cannot set the materials' colours\n", argv[1]);
        return 1;
    }
    std::printf("%s: %d triangles\n", argv[1], 2 * nx * nz);
    return 0;
}
