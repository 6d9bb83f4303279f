// MeshGeom: the host's polygon mesh. Vertices; polygons as counts plus a vertex list; named UV sets
// with per-face-vertex UV ids (-1: no UV); optional per-face-vertex normals and colours.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

struct UVSet {
    std::string name;
    std::vector<float> u, v;
    // Per face-vertex, -1 where the face has no UV in this set; empty when no face has one (a
    // million-corner mesh without UVs keeps no list of -1s).
    std::vector<int> uvIds;
    int uvId(size_t faceVertex) const { return faceVertex < uvIds.size() ? uvIds[faceVertex] : -1; }
};

struct MeshGeom {
    using Vec3 = std::array<double, 3>;

    std::vector<Vec3> points;
    std::vector<int> faceCounts;
    std::vector<int> faceVerts;

    std::vector<UVSet> uvSets{UVSet{"map1", {}, {}, {}}};
    int currentUVSet = 0;

    // Per face-vertex; `hasNormal`/`hasColor` say which are set (both empty when none are).
    std::vector<Vec3> normals;
    std::vector<uint8_t> hasNormal;
    std::vector<std::array<float, 4>> colors;
    std::vector<uint8_t> hasColor;

    int numFaces() const { return static_cast<int>(faceCounts.size()); }
    int numFaceVertices() const { return static_cast<int>(faceVerts.size()); }
    int numPoints() const { return static_cast<int>(points.size()); }

    // Replaces the topology; all per-face-vertex data is reset (UV sets keep their names and values).
    void setTopology(std::vector<Vec3> pts, std::vector<int> counts, std::vector<int> verts);
    // Where each face starts in faceVerts; kept by rebuildOffsets().
    void rebuildOffsets();
    int faceOffset(int face) const { return offsets_.empty() ? 3 * face : offsets_[face]; }
    int findUVSet(const std::string& name) const;
    // Adds an empty UV set (no face-vertex has a UV in it) and returns its index.
    int addUVSet(const std::string& name);
    // Face-vertex index of local corner `corner` of face `face`, or -1 when out of range.
    int faceVertex(int face, int corner) const;

    // Newell normal (length = twice the polygon's area) of a face.
    Vec3 faceNormalRaw(int face) const;
    // The normal of a face-vertex: the one set explicitly, else the host's area-weighted smooth
    // vertex normal.
    Vec3 faceVertexNormal(int faceVertex) const;
    Vec3 vertexNormal(int vertex) const;
    void invalidateNormals() { smoothValid_ = false; }
    // The smooth normals are kept once made, for the next reader; one that made them for a single
    // pass gives their memory back (12 MB on a million points).
    bool hasSmoothNormals() const { return smoothValid_; }
    void releaseSmoothNormals() const {
        std::vector<Vec3>().swap(smooth_);
        smoothValid_ = false;
    }

private:
    void buildSmoothNormals() const;
    std::vector<int> offsets_; // empty when every face is a triangle (3 * face)
    mutable std::vector<Vec3> smooth_;
    mutable bool smoothValid_ = false;
};

} // namespace gxhost
