#include "MeshPartBuilder.h"

#include <assimp/mesh.h>

namespace gxhost {
namespace {

// Whether face-vertices a and b carry the same attributes, so they can share one vertex.
bool sameCorner(const SceneMesh& mesh, size_t a, size_t b) {
    if (!mesh.normals.empty() && mesh.normals[a] != mesh.normals[b]) {
        return false;
    }
    if (!mesh.colors.empty()) {
        if (mesh.hasColor[a] != mesh.hasColor[b] || (mesh.hasColor[a] && mesh.colors[a] != mesh.colors[b])) {
            return false;
        }
    }
    for (const SceneUVSet& set : mesh.uvSets) {
        const int32_t ia = set.uvIds[a], ib = set.uvIds[b];
        if (ia == ib) {
            continue;
        }
        if (ia < 0 || ib < 0 || set.u[ia] != set.u[ib] || set.v[ia] != set.v[ib]) {
            return false;
        }
    }
    return true;
}

struct PartLayout {
    unsigned numSets = 0;
    bool colors = false;
    bool triangles = false;
    bool polygons = false;
    size_t corners = 0;
};

PartLayout layoutOf(const SceneMesh& mesh, const std::vector<int32_t>& faces,
                    const std::vector<size_t>& faceStart) {
    PartLayout layout;
    for (int32_t f : faces) {
        const size_t begin = faceStart[f], count = static_cast<size_t>(mesh.faceCounts[f]);
        layout.corners += count;
        (count == 3 ? layout.triangles : layout.polygons) = true;
        for (size_t c = begin; c < begin + count; ++c) {
            for (size_t k = layout.numSets; k < mesh.uvSets.size(); ++k) {
                if (mesh.uvSets[k].uvIds[c] >= 0) {
                    layout.numSets = static_cast<unsigned>(k + 1);
                }
            }
            layout.colors = layout.colors || (!mesh.hasColor.empty() && mesh.hasColor[c]);
        }
    }
    return layout;
}

} // namespace

std::unique_ptr<aiMesh> buildMeshPart(const SceneMesh& mesh, const std::vector<int32_t>& faces,
                                      const std::vector<size_t>& faceStart, unsigned materialIndex) {
    const PartLayout layout = layoutOf(mesh, faces, faceStart);

    // Vertices of the part, each remembered by the first face-vertex that made it; the vertices of
    // one point are chained so that a corner is compared only with its own point's vertices.
    std::vector<size_t> cornerOfVertex;
    std::vector<int32_t> nextOfVertex;
    std::vector<int32_t> headOfPoint(mesh.points.size(), -1);
    std::vector<unsigned> vertexOfCorner;
    cornerOfVertex.reserve(layout.corners);
    nextOfVertex.reserve(layout.corners);
    vertexOfCorner.reserve(layout.corners);
    for (int32_t f : faces) {
        const size_t begin = faceStart[f];
        for (size_t c = begin; c < begin + static_cast<size_t>(mesh.faceCounts[f]); ++c) {
            const int32_t point = mesh.faceVertices[c];
            int32_t vertex = headOfPoint[point];
            while (vertex >= 0 && !sameCorner(mesh, cornerOfVertex[vertex], c)) {
                vertex = nextOfVertex[vertex];
            }
            if (vertex < 0) {
                vertex = static_cast<int32_t>(cornerOfVertex.size());
                cornerOfVertex.push_back(c);
                nextOfVertex.push_back(headOfPoint[point]);
                headOfPoint[point] = vertex;
            }
            vertexOfCorner.push_back(static_cast<unsigned>(vertex));
        }
    }

    auto part = std::make_unique<aiMesh>();
    part->mName = aiString(mesh.name);
    part->mMaterialIndex = materialIndex;
    part->mPrimitiveTypes = (layout.triangles ? static_cast<unsigned>(aiPrimitiveType_TRIANGLE) : 0u) |
                            (layout.polygons ? static_cast<unsigned>(aiPrimitiveType_POLYGON) : 0u);
    const unsigned numVertices = static_cast<unsigned>(cornerOfVertex.size());
    part->mNumVertices = numVertices;
    part->mVertices = new aiVector3D[numVertices];
    if (!mesh.normals.empty()) {
        part->mNormals = new aiVector3D[numVertices];
    }
    if (layout.colors) {
        part->mColors[0] = new aiColor4D[numVertices];
    }
    for (unsigned k = 0; k < layout.numSets; ++k) {
        part->mTextureCoords[k] = new aiVector3D[numVertices];
        part->mNumUVComponents[k] = 2;
        part->SetTextureCoordsName(k, aiString(mesh.uvSets[k].name));
    }
    for (unsigned v = 0; v < numVertices; ++v) {
        const size_t c = cornerOfVertex[v];
        const auto& p = mesh.points[mesh.faceVertices[c]];
        part->mVertices[v] = aiVector3D(p[0], p[1], p[2]);
        if (part->mNormals) {
            const auto& n = mesh.normals[c];
            part->mNormals[v] = aiVector3D(n[0], n[1], n[2]);
        }
        if (layout.colors) {
            const bool has = !mesh.hasColor.empty() && mesh.hasColor[c];
            const auto& col = mesh.colors[c];
            part->mColors[0][v] = has ? aiColor4D(col[0], col[1], col[2], col[3]) : aiColor4D(1, 1, 1, 1);
        }
        for (unsigned k = 0; k < layout.numSets; ++k) {
            const SceneUVSet& set = mesh.uvSets[k];
            const int32_t id = set.uvIds[c];
            part->mTextureCoords[k][v] = id >= 0 ? aiVector3D(set.u[id], set.v[id], 0) : aiVector3D(0, 0, 0);
        }
    }

    part->mNumFaces = static_cast<unsigned>(faces.size());
    part->mFaces = new aiFace[faces.size()];
    size_t corner = 0;
    for (size_t i = 0; i < faces.size(); ++i) {
        aiFace& face = part->mFaces[i];
        face.mNumIndices = static_cast<unsigned>(mesh.faceCounts[faces[i]]);
        face.mIndices = new unsigned[face.mNumIndices];
        for (unsigned j = 0; j < face.mNumIndices; ++j) {
            face.mIndices[j] = vertexOfCorner[corner++];
        }
    }
    return part;
}

} // namespace gxhost
