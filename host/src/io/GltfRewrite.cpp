#include "GltfRewrite.h"

#include "NearestPoint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

namespace gxhost {
namespace {

using nlohmann::json;

constexpr int kFloat = 5126, kUByte = 5121, kUShort = 5123, kUInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;

// The new binary buffer with its views and accessors.
class BinBuilder {
public:
    json views = json::array(), accessors = json::array();
    std::vector<uint8_t> bin;

    size_t addView(const void* data, size_t size, int target) {
        while (bin.size() % 4)
            bin.push_back(0);
        json view = {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
        if (target)
            view["target"] = target;
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        bin.insert(bin.end(), bytes, bytes + size);
        views.push_back(view);
        return views.size() - 1;
    }

    // Float attribute data, `components` per vertex; min/max when asked (positions).
    size_t addFloats(const std::vector<float>& values, int components, bool bounds) {
        static const char* types[] = {"", "SCALAR", "VEC2", "VEC3", "VEC4"};
        const size_t count = values.size() / static_cast<size_t>(components);
        json a = {{"bufferView", addView(values.data(), values.size() * 4, kArrayBuffer)},
                  {"componentType", kFloat},
                  {"count", count},
                  {"type", types[components]}};
        if (bounds) {
            std::vector<float> low(components, 0.0f), high(components, 0.0f);
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < components; ++c) {
                    const float v = values[i * components + c];
                    low[c] = i == 0 ? v : std::min(low[c], v);
                    high[c] = i == 0 ? v : std::max(high[c], v);
                }
            a["min"] = low;
            a["max"] = high;
        }
        accessors.push_back(a);
        return accessors.size() - 1;
    }

    size_t addJoints(const std::vector<uint16_t>& joints) {
        accessors.push_back({{"bufferView", addView(joints.data(), joints.size() * 2, kArrayBuffer)},
                             {"componentType", kUShort},
                             {"count", joints.size() / 4},
                             {"type", "VEC4"}});
        return accessors.size() - 1;
    }

    // Indices in the smallest type that holds `vertexCount - 1`.
    size_t addIndices(const std::vector<uint32_t>& indices, size_t vertexCount) {
        size_t view = 0;
        int type = kUInt;
        if (vertexCount <= 0xFF) {
            std::vector<uint8_t> small(indices.begin(), indices.end());
            type = kUByte;
            view = addView(small.data(), small.size(), kElementArrayBuffer);
        } else if (vertexCount <= 0xFFFF) {
            std::vector<uint16_t> small(indices.begin(), indices.end());
            type = kUShort;
            view = addView(small.data(), small.size() * 2, kElementArrayBuffer);
        } else {
            view = addView(indices.data(), indices.size() * 4, kElementArrayBuffer);
        }
        accessors.push_back(
            {{"bufferView", view}, {"componentType", type}, {"count", indices.size()}, {"type", "SCALAR"}});
        return accessors.size() - 1;
    }
};

// Copies what the new asset keeps of the source's buffer data (images, animation, inverse bind
// matrices, geometry left as read) into the new buffer, once each.
class KeptData {
public:
    KeptData(const GltfDocument& source, BinBuilder& out) : source_(source), out_(out) {}

    bool view(size_t old, size_t& index, std::string& error) {
        auto found = views_.find(old);
        if (found != views_.end()) {
            index = found->second;
            return true;
        }
        std::vector<uint8_t> bytes;
        if (!source_.viewBytes(old, bytes, error))
            return false;
        const json& was = source_.asset["bufferViews"][old];
        index = out_.addView(bytes.data(), bytes.size(), was.value("target", 0));
        json& now = out_.views[index];
        for (const char* key : {"byteStride", "name", "extras", "extensions"})
            if (was.contains(key))
                now[key] = was[key];
        views_[old] = index;
        return true;
    }

    bool accessor(json& ref, std::string& error) {
        const size_t old = ref.get<size_t>();
        auto found = accessors_.find(old);
        if (found != accessors_.end()) {
            ref = found->second;
            return true;
        }
        const json& all = source_.asset.value("accessors", json::array());
        if (old >= all.size()) {
            error = "accessor " + std::to_string(old) + " is missing";
            return false;
        }
        json a = all[old];
        size_t index = 0;
        if (a.contains("bufferView")) {
            if (!view(a["bufferView"].get<size_t>(), index, error))
                return false;
            a["bufferView"] = index;
        }
        if (a.contains("sparse"))
            for (const char* part : {"indices", "values"}) {
                if (!view(a["sparse"][part]["bufferView"].get<size_t>(), index, error))
                    return false;
                a["sparse"][part]["bufferView"] = index;
            }
        out_.accessors.push_back(a);
        accessors_[old] = out_.accessors.size() - 1;
        ref = out_.accessors.size() - 1;
        return true;
    }

    bool primitive(json& p, std::string& error) {
        for (auto& [name, ref] : p["attributes"].items())
            if (!accessor(ref, error))
                return false;
        if (p.contains("indices") && !accessor(p["indices"], error))
            return false;
        if (p.contains("targets"))
            for (json& target : p["targets"])
                for (auto& [name, ref] : target.items())
                    if (!accessor(ref, error))
                        return false;
        return true;
    }

private:
    const GltfDocument& source_;
    BinBuilder& out_;
    std::map<size_t, size_t> views_, accessors_;
};

// The source vertices of one glTF mesh (every triangle primitive's, back to back) with what a
// written vertex takes from its nearest one.
struct VertexPool {
    std::vector<std::array<float, 3>> positions, normals;
    std::vector<std::array<float, 4>> weights;
    std::vector<std::array<uint16_t, 4>> joints;
    size_t targetCount = 0;
    bool targetNormals = false;
    std::vector<std::vector<std::array<float, 3>>> targetPositions, targetNormalDeltas; // per target
    bool skinned = false;
};

bool isTriangles(const json& p) {
    return p.value("mode", 4) >= 4;
}

bool readVec(const GltfDocument& doc, const json& ref, int want, std::vector<float>& values,
             std::string& error) {
    int components = 0;
    if (!doc.readFloats(ref.get<size_t>(), values, components, error))
        return false;
    if (components != want) {
        error = "an attribute has " + std::to_string(components) + " components, expected " +
                std::to_string(want);
        return false;
    }
    return true;
}

bool buildPool(const GltfDocument& doc, const json& mesh, VertexPool& pool,
               std::vector<std::string>& warnings, std::string& error) {
    const std::string name = mesh.value("name", std::string("(unnamed)"));
    bool first = true;
    for (const json& p : mesh["primitives"]) {
        if (!isTriangles(p))
            continue;
        const json& at = p["attributes"];
        std::vector<float> pos, nrm, w, j;
        if (!at.contains("POSITION") || !readVec(doc, at["POSITION"], 3, pos, error))
            return false;
        const size_t n = pos.size() / 3;
        const bool skin = at.contains("JOINTS_0") && at.contains("WEIGHTS_0");
        const size_t targets = p.value("targets", json::array()).size();
        if (first) {
            pool.skinned = skin;
            pool.targetCount = targets;
            pool.targetNormals = targets > 0 && p["targets"][0].contains("NORMAL");
            pool.targetPositions.assign(targets, {});
            pool.targetNormalDeltas.assign(targets, {});
            first = false;
        }
        if (skin != pool.skinned || targets != pool.targetCount) {
            error = "mesh '" + name + "': primitives differ in skinning or morph targets";
            return false;
        }
        if (at.contains("NORMAL") && !readVec(doc, at["NORMAL"], 3, nrm, error))
            return false;
        if (skin &&
            (!readVec(doc, at["JOINTS_0"], 4, j, error) || !readVec(doc, at["WEIGHTS_0"], 4, w, error)))
            return false;
        for (const char* extra : {"JOINTS_1", "TANGENT"})
            if (at.contains(extra))
                warnings.push_back("mesh '" + name + "': " + extra +
                                   " is not written for simplified geometry");
        for (size_t v = 0; v < n; ++v) {
            pool.positions.push_back({pos[3 * v], pos[3 * v + 1], pos[3 * v + 2]});
            pool.normals.push_back(nrm.empty()
                                       ? std::array<float, 3>{0, 0, 0}
                                       : std::array<float, 3>{nrm[3 * v], nrm[3 * v + 1], nrm[3 * v + 2]});
            if (skin) {
                pool.weights.push_back({w[4 * v], w[4 * v + 1], w[4 * v + 2], w[4 * v + 3]});
                pool.joints.push_back({static_cast<uint16_t>(j[4 * v]), static_cast<uint16_t>(j[4 * v + 1]),
                                       static_cast<uint16_t>(j[4 * v + 2]),
                                       static_cast<uint16_t>(j[4 * v + 3])});
            }
        }
        for (size_t t = 0; t < targets; ++t) {
            const json& target = p["targets"][t];
            std::vector<float> dp(3 * n, 0.0f), dn(3 * n, 0.0f);
            if (target.contains("POSITION") && !readVec(doc, target["POSITION"], 3, dp, error))
                return false;
            if (pool.targetNormals && target.contains("NORMAL") &&
                !readVec(doc, target["NORMAL"], 3, dn, error))
                return false;
            for (size_t v = 0; v < n; ++v) {
                pool.targetPositions[t].push_back({dp[3 * v], dp[3 * v + 1], dp[3 * v + 2]});
                pool.targetNormalDeltas[t].push_back({dn[3 * v], dn[3 * v + 1], dn[3 * v + 2]});
            }
        }
    }
    return true;
}

uint32_t bitsOf(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

// New primitives for `mesh` (a simplified SceneMesh) against the source glTF mesh's pool.
bool buildPrimitives(const SceneMesh& mesh, const SceneMesh& source, const json& sourceMesh,
                     const VertexPool& pool, BinBuilder& out, json& primitives, std::string& error) {
    // Source vertices grouped by exact position; the nearest group, then the closest normal.
    std::map<std::array<uint32_t, 3>, std::vector<uint32_t>> groups;
    std::vector<std::array<float, 3>> groupPositions;
    std::vector<const std::vector<uint32_t>*> groupMembers;
    for (uint32_t v = 0; v < pool.positions.size(); ++v) {
        const auto& p = pool.positions[v];
        groups[{bitsOf(p[0]), bitsOf(p[1]), bitsOf(p[2])}].push_back(v);
    }
    for (const auto& [key, members] : groups) {
        groupPositions.push_back(pool.positions[members.front()]);
        groupMembers.push_back(&members);
    }
    const NearestPoint nearest(groupPositions);
    std::vector<int64_t> groupOfPoint(mesh.points.size(), -2);

    // File material per result material (by name through the source's primitive), -1 for none.
    std::vector<int32_t> fileMaterial(mesh.materials.size(), -1);
    const json& sourcePrimitives = sourceMesh["primitives"];
    for (size_t m = 0; m < mesh.materials.size(); ++m)
        for (size_t s = 0; s < source.materials.size() && s < source.fileMaterials.size(); ++s) {
            const size_t p = static_cast<size_t>(source.fileMaterials[s]);
            if (source.materials[s] == mesh.materials[m] && p < sourcePrimitives.size() &&
                sourcePrimitives[p].contains("material"))
                fileMaterial[m] = sourcePrimitives[p]["material"].get<int32_t>();
        }

    // Triangles (fans) grouped by file material in order of first use.
    std::vector<std::pair<int32_t, std::vector<size_t>>> byMaterial; // corners, three per triangle
    size_t corner = 0;
    for (size_t f = 0; f < mesh.faceCounts.size(); ++f) {
        const int32_t local = mesh.faceMaterial.empty() ? -1 : mesh.faceMaterial[f];
        const int32_t material =
            local >= 0 && static_cast<size_t>(local) < fileMaterial.size() ? fileMaterial[local] : -1;
        auto group = std::find_if(byMaterial.begin(), byMaterial.end(),
                                  [&](const auto& g) { return g.first == material; });
        if (group == byMaterial.end()) {
            byMaterial.push_back({material, {}});
            group = byMaterial.end() - 1;
        }
        for (int32_t k = 1; k + 1 < mesh.faceCounts[f]; ++k)
            for (size_t c : {corner, corner + static_cast<size_t>(k), corner + static_cast<size_t>(k) + 1})
                group->second.push_back(c);
        corner += static_cast<size_t>(mesh.faceCounts[f]);
    }

    const bool normals = !mesh.normals.empty(), colors = !mesh.colors.empty();
    for (const auto& [material, corners] : byMaterial) {
        std::map<std::vector<uint32_t>, uint32_t> vertexOf;
        std::vector<size_t> firstCorner;
        std::vector<uint32_t> indices;
        std::vector<uint32_t> sourceVertex;
        for (size_t c : corners) {
            const int32_t point = mesh.faceVertices[c];
            std::vector<uint32_t> key{static_cast<uint32_t>(point)};
            for (const SceneUVSet& set : mesh.uvSets)
                key.push_back(static_cast<uint32_t>(set.uvIds[c]));
            if (normals)
                for (float x : mesh.normals[c])
                    key.push_back(bitsOf(x));
            if (colors) {
                for (float x : mesh.colors[c])
                    key.push_back(bitsOf(x));
                key.push_back(mesh.hasColor[c]);
            }
            auto [it, added] = vertexOf.emplace(key, static_cast<uint32_t>(firstCorner.size()));
            if (added) {
                firstCorner.push_back(c);
                uint32_t chosen = 0;
                if (!pool.positions.empty()) {
                    if (groupOfPoint[point] == -2)
                        groupOfPoint[point] = nearest.find(mesh.points[point]);
                    const auto& members = *groupMembers[static_cast<size_t>(groupOfPoint[point])];
                    chosen = members.front();
                    float best = -2.0f;
                    for (uint32_t v : members) {
                        if (!normals)
                            break;
                        const auto& a = pool.normals[v];
                        const auto& b = mesh.normals[c];
                        const float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
                        if (dot > best) {
                            best = dot;
                            chosen = v;
                        }
                    }
                }
                sourceVertex.push_back(chosen);
            }
            indices.push_back(it->second);
        }
        const size_t n = firstCorner.size();
        json attributes = json::object();
        std::vector<float> values;
        values.reserve(n * 4);
        for (size_t c : firstCorner)
            for (float x : mesh.points[mesh.faceVertices[c]])
                values.push_back(x);
        attributes["POSITION"] = out.addFloats(values, 3, true);
        if (normals) {
            values.clear();
            for (size_t c : firstCorner) {
                // Unit length the way Assimp's writer makes it (times the inverse length), so both
                // writers give the same bits; a zero normal becomes +z.
                const auto& v = mesh.normals[c];
                const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                const float inverse = length > 0 ? 1.0f / length : 0.0f;
                for (int k = 0; k < 3; ++k)
                    values.push_back(length > 0 ? v[k] * inverse : (k == 2 ? 1.0f : 0.0f));
            }
            attributes["NORMAL"] = out.addFloats(values, 3, false);
        }
        for (size_t s = 0; s < mesh.uvSets.size(); ++s) {
            const SceneUVSet& set = mesh.uvSets[s];
            values.clear();
            for (size_t c : firstCorner) {
                const int32_t id = set.uvIds[c];
                // Assimp reads glTF's v downwards as 1 - v; written back the glTF way.
                values.push_back(id >= 0 ? set.u[id] : 0.0f);
                values.push_back(id >= 0 ? 1.0f - set.v[id] : 0.0f);
            }
            attributes["TEXCOORD_" + std::to_string(s)] = out.addFloats(values, 2, false);
        }
        if (colors) {
            values.clear();
            for (size_t c : firstCorner)
                for (int k = 0; k < 4; ++k)
                    values.push_back(mesh.hasColor[c] ? mesh.colors[c][k] : 1.0f);
            attributes["COLOR_0"] = out.addFloats(values, 4, false);
        }
        if (pool.skinned) {
            std::vector<uint16_t> joints;
            values.clear();
            for (uint32_t v : sourceVertex) {
                const auto& w = pool.weights[v];
                const float sum = w[0] + w[1] + w[2] + w[3];
                for (int k = 0; k < 4; ++k) {
                    values.push_back(sum > 0 ? w[k] / sum : (k == 0 ? 1.0f : 0.0f));
                    joints.push_back(sum > 0 && w[k] > 0 ? pool.joints[v][k]
                                                         : (k == 0 ? pool.joints[v][0] : 0));
                }
            }
            attributes["JOINTS_0"] = out.addJoints(joints);
            attributes["WEIGHTS_0"] = out.addFloats(values, 4, false);
        }
        json primitive = {{"attributes", attributes}, {"indices", out.addIndices(indices, n)}, {"mode", 4}};
        if (pool.targetCount > 0) {
            json targets = json::array();
            for (size_t t = 0; t < pool.targetCount; ++t) {
                json target = json::object();
                values.clear();
                for (uint32_t v : sourceVertex)
                    for (float x : pool.targetPositions[t][v])
                        values.push_back(x);
                target["POSITION"] = out.addFloats(values, 3, true);
                if (pool.targetNormals && normals) {
                    values.clear();
                    for (uint32_t v : sourceVertex)
                        for (float x : pool.targetNormalDeltas[t][v])
                            values.push_back(x);
                    target["NORMAL"] = out.addFloats(values, 3, false);
                }
                targets.push_back(target);
            }
            primitive["targets"] = targets;
        }
        if (material >= 0)
            primitive["material"] = material;
        primitives.push_back(primitive);
    }
    if (primitives.empty()) {
        error = "mesh '" + mesh.name + "' has no triangle left";
        return false;
    }
    return true;
}

// The mesh of the node reached by `path` from the scene's root: Assimp makes a scene's single root
// node its root, and gives several root nodes a root of its own.
int64_t meshOfNode(const json& asset, const std::vector<uint32_t>& path) {
    const json& scenes = asset.value("scenes", json::array());
    const size_t scene = asset.value("scene", size_t(0));
    if (scene >= scenes.size() || !asset.contains("nodes"))
        return -1;
    const json roots = scenes[scene].value("nodes", json::array());
    const json& nodes = asset["nodes"];
    size_t at = 0;
    int64_t node = -1;
    if (roots.size() == 1) {
        node = roots[0].get<int64_t>();
    } else if (!path.empty() && path[0] < roots.size()) {
        node = roots[path[0]].get<int64_t>();
        at = 1;
    }
    for (; node >= 0 && at < path.size(); ++at) {
        const json children = static_cast<size_t>(node) < nodes.size()
                                  ? nodes[node].value("children", json::array())
                                  : json::array();
        node = path[at] < children.size() ? children[path[at]].get<int64_t>() : -1;
    }
    if (node < 0 || static_cast<size_t>(node) >= nodes.size() || !nodes[node].contains("mesh"))
        return -1;
    const int64_t mesh = nodes[node]["mesh"].get<int64_t>();
    return mesh >= 0 && static_cast<size_t>(mesh) < asset.value("meshes", json::array()).size() ? mesh : -1;
}

void collectExtensions(const json& value, std::set<std::string>& names) {
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (it.key() == "extras")
                continue;
            if (it.key() == "extensions" && it.value().is_object())
                for (auto e = it.value().begin(); e != it.value().end(); ++e)
                    names.insert(e.key());
            collectExtensions(it.value(), names);
        }
    } else if (value.is_array()) {
        for (const json& item : value)
            collectExtensions(item, names);
    }
}

} // namespace

void refreshExtensionLists(json& asset) {
    std::set<std::string> used;
    collectExtensions(asset, used);
    asset.erase("extensionsUsed");
    if (!used.empty())
        asset["extensionsUsed"] = std::vector<std::string>(used.begin(), used.end());
    if (asset.contains("extensionsRequired")) {
        json required = json::array();
        for (const json& name : asset["extensionsRequired"])
            if (name.is_string() && used.count(name.get<std::string>()))
                required.push_back(name);
        if (required.empty())
            asset.erase("extensionsRequired");
        else
            asset["extensionsRequired"] = required;
    }
}

bool writeRewrittenGltf(const std::string& path, bool binary, const GltfDocument& source,
                        const std::vector<SceneMesh>& sources, const std::vector<GltfLevel>& levels,
                        std::vector<std::string>& warnings, bool strict, std::string& error) {
    auto fail = [&](const std::string& problem) {
        error = path + ": " + problem;
        return false;
    };
    json asset = source.asset;
    json& meshes = asset["meshes"];
    if (!meshes.is_array() || levels.empty())
        return fail("nothing to write");
    // The glTF mesh each source was read from; the first source of a mesh stands for every instance.
    std::map<size_t, size_t> sourceOfMesh;
    for (size_t i = 0; i < sources.size(); ++i) {
        const int64_t m = meshOfNode(asset, sources[i].fileNode);
        if (m < 0)
            return fail("mesh '" + sources[i].name + "' cannot be traced back to the file");
        sourceOfMesh.emplace(static_cast<size_t>(m), i);
    }

    BinBuilder out;
    KeptData kept(source, out);
    // What stays as read: non-triangle primitives, skins, animations, images, instancing data.
    for (size_t m = 0; m < meshes.size(); ++m) {
        json keep = json::array();
        for (json& p : meshes[m]["primitives"])
            if (!sourceOfMesh.count(m) || !isTriangles(p)) {
                if (!kept.primitive(p, error))
                    return fail(error);
                keep.push_back(p);
            }
        meshes[m]["primitives"] = keep;
    }
    auto eachOf = [&](const char* key, auto visit) -> bool {
        if (!asset.contains(key) || !asset[key].is_array())
            return true;
        for (json& item : asset[key])
            if (!visit(item))
                return false;
        return true;
    };
    const bool keptOk =
        eachOf("skins",
               [&](json& skin) {
                   return !skin.contains("inverseBindMatrices") ||
                          kept.accessor(skin["inverseBindMatrices"], error);
               }) &&
        eachOf("animations",
               [&](json& animation) {
                   for (json& sampler : animation["samplers"])
                       if (!kept.accessor(sampler["input"], error) ||
                           !kept.accessor(sampler["output"], error))
                           return false;
                   return true;
               }) &&
        eachOf("images",
               [&](json& image) {
                   size_t view = 0;
                   if (!image.contains("bufferView"))
                       return true;
                   if (!kept.view(image["bufferView"].get<size_t>(), view, error))
                       return false;
                   image["bufferView"] = view;
                   return true;
               }) &&
        eachOf("nodes", [&](json& node) {
            if (!node.contains("extensions") || !node["extensions"].contains("EXT_mesh_gpu_instancing"))
                return true;
            for (auto& [name, ref] : node["extensions"]["EXT_mesh_gpu_instancing"]["attributes"].items())
                if (!kept.accessor(ref, error))
                    return false;
            return true;
        });
    if (!keptOk)
        return fail(error);

    // Every level's geometry: the first in place of the source's, the others as meshes of their own.
    std::map<size_t, VertexPool> pools;
    for (const auto& [m, i] : sourceOfMesh)
        if (!buildPool(source, source.asset["meshes"][m], pools[m], warnings, error))
            return fail(error);
    std::vector<std::map<size_t, size_t>> levelMesh(levels.size());
    for (size_t l = 0; l < levels.size(); ++l) {
        if (levels[l].meshes.size() != sources.size())
            return fail("a level does not hold every mesh");
        for (const auto& [m, i] : sourceOfMesh) {
            json primitives = json::array();
            if (!buildPrimitives(levels[l].meshes[i], sources[i], source.asset["meshes"][m], pools[m], out,
                                 primitives, error))
                return fail(error);
            if (l == 0) {
                for (json& p : primitives)
                    meshes[m]["primitives"].push_back(p);
                levelMesh[l][m] = m;
                continue;
            }
            json lod = {{"primitives", primitives}};
            lod["name"] = meshes[m].value("name", "mesh" + std::to_string(m)) + "_LOD" + std::to_string(l);
            if (meshes[m].contains("weights"))
                lod["weights"] = meshes[m]["weights"];
            meshes.push_back(lod);
            levelMesh[l][m] = meshes.size() - 1;
        }
    }
    // Coarser levels hang off each node that shows a simplified mesh.
    if (levels.size() > 1 && asset.contains("nodes")) {
        json& nodes = asset["nodes"];
        const size_t original = nodes.size();
        for (size_t n = 0; n < original; ++n) {
            if (!nodes[n].contains("mesh") || !sourceOfMesh.count(nodes[n]["mesh"].get<size_t>()))
                continue;
            const size_t m = nodes[n]["mesh"].get<size_t>();
            json ids = json::array(), coverage = json::array({levels[0].coverage});
            for (size_t l = 1; l < levels.size(); ++l) {
                json lod = {{"mesh", levelMesh[l][m]}};
                lod["name"] = nodes[n].value("name", "node" + std::to_string(n)) + "_LOD" + std::to_string(l);
                for (const char* key : {"matrix", "translation", "rotation", "scale", "skin", "weights"})
                    if (nodes[n].contains(key))
                        lod[key] = nodes[n][key];
                nodes.push_back(lod);
                ids.push_back(nodes.size() - 1);
                coverage.push_back(levels[l].coverage);
            }
            nodes[n]["extensions"]["MSFT_lod"] = {{"ids", ids}};
            nodes[n]["extras"]["MSFT_screencoverage"] = coverage;
        }
    }
    asset["bufferViews"] = out.views;
    asset["accessors"] = out.accessors;
    if (out.views.empty())
        asset.erase("bufferViews");
    if (out.accessors.empty())
        asset.erase("accessors");
    refreshExtensionLists(asset);
    if (strict && !warnings.empty())
        return fail(warnings.front() + " (--strict)");
    return writeGltfFile(path, binary, asset, out.bin, source.allBuffersEmbedded, error);
}

} // namespace gxhost
