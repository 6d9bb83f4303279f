#include "MeshWelder.h"

#include <assimp/mesh.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace gxhost {
namespace {

// -0 and +0 are the same position.
uint32_t floatKey(float value) {
    if (value == 0.0f) {
        value = 0.0f;
    }
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct PositionKey {
    uint32_t x, y, z;
    bool operator==(const PositionKey& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct PositionHash {
    size_t operator()(const PositionKey& k) const {
        uint64_t h = k.x * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) ^ (k.y * 0xBF58476D1CE4E5B9ull);
        h ^= (h >> 31) ^ (k.z * 0x94D049BB133111EBull);
        return static_cast<size_t>(h ^ (h >> 32));
    }
};

bool finite3(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite4(const aiColor4D& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

std::string partLabel(const aiMesh& m, size_t partIndex) {
    std::string label = "part " + std::to_string(partIndex);
    if (m.mName.length > 0) {
        label += " ('" + std::string(m.mName.C_Str()) + "')";
    }
    return label;
}

bool isPolygon(const aiFace& f) {
    return f.mNumIndices >= 3;
}

// Checks everything the weld reads, so that a broken reader result cannot make it read out of
// bounds: arrays present, indices in range, used values finite.
bool checkPart(const aiMesh& m, size_t partIndex, std::string& problem) {
    const std::string label = partLabel(m, partIndex);
    if ((m.mNumVertices > 0 && !m.mVertices) || (m.mNumFaces > 0 && !m.mFaces)) {
        problem = label + " has missing vertex or face arrays";
        return false;
    }
    for (unsigned fi = 0; fi < m.mNumFaces; ++fi) {
        const aiFace& f = m.mFaces[fi];
        if (f.mNumIndices > 0 && !f.mIndices) {
            problem = label + ": face " + std::to_string(fi) + " has no index array";
            return false;
        }
        if (!isPolygon(f)) {
            continue;
        }
        for (unsigned j = 0; j < f.mNumIndices; ++j) {
            const unsigned v = f.mIndices[j];
            if (v >= m.mNumVertices) {
                problem = label + ": face " + std::to_string(fi) + " uses vertex index " + std::to_string(v) +
                          " out of range (" + std::to_string(m.mNumVertices) + " vertices)";
                return false;
            }
            const char* what = nullptr;
            if (!finite3(m.mVertices[v])) {
                what = "position";
            } else if (m.mNormals && !finite3(m.mNormals[v])) {
                what = "normal";
            } else if (m.mColors[0] && !finite4(m.mColors[0][v])) {
                what = "colour";
            }
            for (unsigned k = 0; !what && k < AI_MAX_NUMBER_OF_TEXTURECOORDS && m.mTextureCoords[k]; ++k) {
                const aiVector3D& uv = m.mTextureCoords[k][v];
                if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) {
                    what = "UV";
                }
            }
            if (what) {
                problem = label + ": vertex " + std::to_string(v) + " has a NaN or infinite " + what;
                return false;
            }
        }
    }
    return true;
}

unsigned uvChannelCount(const aiMesh& m) {
    unsigned n = 0;
    while (n < AI_MAX_NUMBER_OF_TEXTURECOORDS && m.mTextureCoords[n]) {
        ++n;
    }
    return n;
}

// Builds the UV sets of one mesh: per set, ids of distinct (point, u, v), chained per point.
// Position -> point index by open addressing (linear probing, at most half full): one flat array
// instead of a node per point, which on a million-triangle mesh were half a million allocations.
class PointTable {
public:
    explicit PointTable(size_t expected) { resize(expected); }

    // The point stored for `key`, storing `next` first when there is none; true when it was new.
    std::pair<int32_t, bool> findOrInsert(const PositionKey& key, int32_t next) {
        if (2 * (count_ + 1) > slots_.size())
            resize(2 * count_ + 2);
        for (size_t i = PositionHash()(key) & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.point < 0) {
                slot = {key, next};
                ++count_;
                return {next, true};
            }
            if (slot.key == key)
                return {slot.point, false};
        }
    }

private:
    struct Slot {
        PositionKey key;
        int32_t point;
    };
    void resize(size_t expected) {
        size_t capacity = 16;
        while (capacity < 2 * expected)
            capacity *= 2;
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot{{0, 0, 0}, -1});
        mask_ = capacity - 1;
        count_ = 0;
        for (const Slot& slot : old)
            if (slot.point >= 0)
                findOrInsert(slot.key, slot.point);
    }

    std::vector<Slot> slots_;
    size_t mask_ = 0, count_ = 0;
};

class UVIndexer {
public:
    explicit UVIndexer(SceneUVSet& set) : set_(set) {}

    int32_t idFor(int32_t point, float u, float v) {
        if (static_cast<size_t>(point) >= headOfPoint_.size()) {
            headOfPoint_.resize(point + 1, -1);
        }
        const uint32_t ku = floatKey(u), kv = floatKey(v);
        for (int32_t id = headOfPoint_[point]; id >= 0; id = next_[id]) {
            if (floatKey(set_.u[id]) == ku && floatKey(set_.v[id]) == kv) {
                return id;
            }
        }
        const int32_t id = static_cast<int32_t>(set_.u.size());
        set_.u.push_back(u);
        set_.v.push_back(v);
        next_.push_back(headOfPoint_[point]);
        headOfPoint_[point] = id;
        return id;
    }

private:
    SceneUVSet& set_;
    std::vector<int32_t> headOfPoint_;
    std::vector<int32_t> next_;
};

void nameUVSets(const std::vector<MeshPart>& parts, std::vector<SceneUVSet>& sets) {
    std::vector<std::string> fileNames(sets.size());
    for (size_t k = 0; k < sets.size(); ++k) {
        for (const MeshPart& p : parts) {
            const unsigned channel = static_cast<unsigned>(k);
            if (channel < uvChannelCount(*p.mesh) && p.mesh->HasTextureCoordsName(channel) &&
                p.mesh->GetTextureCoordsName(channel)->length > 0) {
                fileNames[k] = p.mesh->GetTextureCoordsName(channel)->C_Str();
                break;
            }
        }
    }
    // Unnamed sets, and later sets repeating a name, take the first "map<n>" (n from k + 1) that no
    // set uses or will use.
    auto used = [&](const std::string& name, size_t k) {
        for (size_t j = 0; j < sets.size(); ++j) {
            if ((j < k && sets[j].name == name) || (j > k && fileNames[j] == name)) {
                return true;
            }
        }
        return false;
    };
    for (size_t k = 0; k < sets.size(); ++k) {
        if (!fileNames[k].empty() && !used(fileNames[k], k)) {
            sets[k].name = fileNames[k];
            continue;
        }
        for (size_t n = k + 1; sets[k].name.empty(); ++n) {
            const std::string candidate = "map" + std::to_string(n);
            if (!used(candidate, k)) {
                sets[k].name = candidate;
            }
        }
    }
}

// Points met only by skipped polygons are removed and the rest renumbered in order.
void dropUnusedPoints(SceneMesh& mesh) {
    std::vector<int32_t> newIndex(mesh.points.size(), -1);
    for (int32_t p : mesh.faceVertices) {
        newIndex[p] = 0;
    }
    int32_t next = 0;
    for (size_t p = 0; p < newIndex.size(); ++p) {
        if (newIndex[p] == 0) {
            mesh.points[next] = mesh.points[p];
            newIndex[p] = next++;
        }
    }
    if (static_cast<size_t>(next) == mesh.points.size()) {
        return;
    }
    mesh.points.resize(next);
    for (int32_t& p : mesh.faceVertices) {
        p = newIndex[p];
    }
}

} // namespace

bool weldMeshParts(const std::vector<MeshPart>& parts, SceneMesh& out, std::string& problem) {
    size_t corners = 0;
    size_t faces = 0;
    unsigned numSets = 0;
    bool allNormals = true;
    bool anyColors = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        const aiMesh& m = *parts[i].mesh;
        if (!checkPart(m, i, problem)) {
            return false;
        }
        for (unsigned fi = 0; fi < m.mNumFaces; ++fi) {
            if (isPolygon(m.mFaces[fi])) {
                corners += m.mFaces[fi].mNumIndices;
                ++faces;
            }
        }
        numSets = std::max(numSets, uvChannelCount(m));
        allNormals = allNormals && m.mNormals;
        anyColors = anyColors || m.mColors[0];
    }

    out.points.clear();
    out.faceCounts.clear();
    out.faceVertices.clear();
    out.faceMaterial.clear();
    out.normals.clear();
    out.colors.clear();
    out.hasColor.clear();
    out.uvSets.assign(numSets, SceneUVSet{});
    out.faceCounts.reserve(faces);
    out.faceMaterial.reserve(faces);
    out.faceVertices.reserve(corners);
    if (allNormals) {
        out.normals.reserve(corners);
    }
    if (anyColors) {
        out.colors.reserve(corners);
        out.hasColor.reserve(corners);
    }
    std::vector<UVIndexer> indexers;
    indexers.reserve(numSets);
    for (SceneUVSet& set : out.uvSets) {
        set.uvIds.reserve(corners);
        indexers.emplace_back(set);
    }

    size_t inputVertices = 0;
    for (const MeshPart& part : parts)
        inputVertices += part.mesh->mNumVertices;
    PointTable pointOfPosition(std::min(inputVertices, corners));
    std::vector<int32_t> pointOfVertex;
    std::vector<unsigned> polygon; // vertex indices of the current polygon after dropping repeats
    std::vector<int32_t> seenIn;   // per point, the last large polygon that met it
    int32_t largePolygons = 0;
    for (const MeshPart& part : parts) {
        const aiMesh& m = *part.mesh;
        const unsigned partSets = uvChannelCount(m);
        pointOfVertex.assign(m.mNumVertices, -1);
        for (unsigned fi = 0; fi < m.mNumFaces; ++fi) {
            const aiFace& f = m.mFaces[fi];
            if (!isPolygon(f)) {
                continue;
            }
            polygon.clear();
            for (unsigned j = 0; j < f.mNumIndices; ++j) {
                const unsigned v = f.mIndices[j];
                if (pointOfVertex[v] < 0) {
                    const aiVector3D& p = m.mVertices[v];
                    const PositionKey key{floatKey(p.x), floatKey(p.y), floatKey(p.z)};
                    const auto found =
                        pointOfPosition.findOrInsert(key, static_cast<int32_t>(out.points.size()));
                    if (found.second) {
                        out.points.push_back({p.x, p.y, p.z});
                    }
                    pointOfVertex[v] = found.first;
                }
                if (polygon.empty() || pointOfVertex[polygon.back()] != pointOfVertex[v]) {
                    polygon.push_back(v);
                }
            }
            while (polygon.size() > 1 && pointOfVertex[polygon.back()] == pointOfVertex[polygon.front()]) {
                polygon.pop_back();
            }
            bool pinched = false; // a point met twice around the polygon
            if (polygon.size() <= 16) {
                for (size_t a = 0; a < polygon.size() && !pinched; ++a) {
                    for (size_t b = a + 1; b < polygon.size() && !pinched; ++b) {
                        pinched = pointOfVertex[polygon[a]] == pointOfVertex[polygon[b]];
                    }
                }
            } else {
                // A large polygon (a cap of thousands of corners) marks its points instead.
                ++largePolygons;
                seenIn.resize(out.points.size(), 0);
                for (size_t a = 0; a < polygon.size() && !pinched; ++a) {
                    int32_t& seen = seenIn[pointOfVertex[polygon[a]]];
                    pinched = seen == largePolygons;
                    seen = largePolygons;
                }
            }
            if (polygon.size() < 3 || pinched) {
                continue;
            }
            out.faceCounts.push_back(static_cast<int32_t>(polygon.size()));
            out.faceMaterial.push_back(part.material);
            for (unsigned v : polygon) {
                const int32_t point = pointOfVertex[v];
                out.faceVertices.push_back(point);
                if (allNormals) {
                    const aiVector3D& n = m.mNormals[v];
                    out.normals.push_back({n.x, n.y, n.z});
                }
                if (anyColors) {
                    const bool has = m.mColors[0] != nullptr;
                    const aiColor4D c = has ? m.mColors[0][v] : aiColor4D(0, 0, 0, 0);
                    out.colors.push_back({c.r, c.g, c.b, c.a});
                    out.hasColor.push_back(has ? 1 : 0);
                }
                for (unsigned k = 0; k < numSets; ++k) {
                    const bool has = k < partSets;
                    const int32_t id =
                        has ? indexers[k].idFor(point, m.mTextureCoords[k][v].x, m.mTextureCoords[k][v].y)
                            : -1;
                    out.uvSets[k].uvIds.push_back(id);
                }
            }
        }
    }
    if (out.faceCounts.empty()) {
        problem = "no usable polygon";
        return false;
    }
    dropUnusedPoints(out);
    nameUVSets(parts, out.uvSets);
    return true;
}

} // namespace gxhost
