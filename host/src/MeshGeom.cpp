#include "MeshGeom.h"

#include <algorithm>
#include <cmath>

namespace gxhost {

void MeshGeom::setTopology(std::vector<Vec3> pts, std::vector<int> counts, std::vector<int> verts) {
    points = std::move(pts);
    faceCounts = std::move(counts);
    faceVerts = std::move(verts);
    rebuildOffsets();
    for (UVSet& set : uvSets)
        std::vector<int>().swap(set.uvIds);
    normals.clear();
    hasNormal.clear();
    colors.clear();
    hasColor.clear();
    smoothValid_ = false;
}

void MeshGeom::rebuildOffsets() {
    std::vector<int>().swap(offsets_);
    if (std::all_of(faceCounts.begin(), faceCounts.end(), [](int count) { return count == 3; }))
        return;
    offsets_.resize(faceCounts.size());
    int offset = 0;
    for (size_t f = 0; f < faceCounts.size(); ++f) {
        offsets_[f] = offset;
        offset += faceCounts[f];
    }
}

int MeshGeom::findUVSet(const std::string& name) const {
    for (size_t i = 0; i < uvSets.size(); ++i)
        if (uvSets[i].name == name)
            return static_cast<int>(i);
    return -1;
}

int MeshGeom::addUVSet(const std::string& name) {
    uvSets.push_back(UVSet{name, {}, {}, {}});
    return static_cast<int>(uvSets.size()) - 1;
}

int MeshGeom::faceVertex(int face, int corner) const {
    if (face < 0 || face >= numFaces() || corner < 0 || corner >= faceCounts[face])
        return -1;
    return faceOffset(face) + corner;
}

MeshGeom::Vec3 MeshGeom::faceNormalRaw(int face) const {
    Vec3 n{0, 0, 0};
    int count = faceCounts[face], start = faceOffset(face);
    for (int i = 0; i < count; ++i) {
        const Vec3& a = points[faceVerts[start + i]];
        const Vec3& b = points[faceVerts[start + (i + 1) % count]];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

static MeshGeom::Vec3 normalized(MeshGeom::Vec3 v) {
    double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (l > 0.0)
        v = {v[0] / l, v[1] / l, v[2] / l};
    return v;
}

void MeshGeom::buildSmoothNormals() const {
    smooth_.assign(points.size(), Vec3{0, 0, 0});
    for (int f = 0; f < numFaces(); ++f) {
        Vec3 n = faceNormalRaw(f); // its length weighs the face by its area
        for (int c = 0; c < faceCounts[f]; ++c) {
            Vec3& s = smooth_[faceVerts[faceOffset(f) + c]];
            s[0] += n[0], s[1] += n[1], s[2] += n[2];
        }
    }
    for (Vec3& s : smooth_)
        s = normalized(s);
    smoothValid_ = true;
}

MeshGeom::Vec3 MeshGeom::vertexNormal(int vertex) const {
    if (!smoothValid_ || smooth_.size() != points.size())
        buildSmoothNormals();
    return smooth_[vertex];
}

MeshGeom::Vec3 MeshGeom::faceVertexNormal(int fv) const {
    if (fv < static_cast<int>(hasNormal.size()) && hasNormal[fv])
        return normals[fv];
    return vertexNormal(faceVerts[fv]);
}

} // namespace gxhost
