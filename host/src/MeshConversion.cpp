#include "Access.h"
#include "Faults.h"
#include "MeshShape.h"
#include "Scene.h"
#include "SceneMesh.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <algorithm>

namespace gxhost {

MStatus meshToScene(const MObject& meshNodeOrData, SceneMesh& out) {
    auto mesh = meshOf(meshNodeOrData);
    if (!mesh)
        return MStatus::kInvalidParameter;
    const MeshGeom& m = *mesh;
    out = SceneMesh();
    if (Node* node = asMeshNode(meshNodeOrData))
        out.name = node->name;
    for (const auto& p : m.points)
        out.points.push_back({static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])});
    out.faceCounts.assign(m.faceCounts.begin(), m.faceCounts.end());
    out.faceVertices.assign(m.faceVerts.begin(), m.faceVerts.end());
    for (const UVSet& s : m.uvSets) {
        SceneUVSet set;
        set.name = s.name;
        set.u = s.u;
        set.v = s.v;
        if (s.uvIds.empty())
            set.uvIds.assign(m.faceVerts.size(), -1);
        else
            set.uvIds.assign(s.uvIds.begin(), s.uvIds.end());
        out.uvSets.push_back(std::move(set));
    }
    bool anyNormal = false, anyColor = false;
    for (uint8_t h : m.hasNormal)
        anyNormal = anyNormal || h;
    for (uint8_t h : m.hasColor)
        anyColor = anyColor || h;
    if (anyNormal)
        for (int fv = 0; fv < m.numFaceVertices(); ++fv) {
            auto n = m.faceVertexNormal(fv);
            out.normals.push_back(
                {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])});
        }
    if (anyColor)
        for (int fv = 0; fv < m.numFaceVertices(); ++fv) {
            bool has = fv < static_cast<int>(m.hasColor.size()) && m.hasColor[fv];
            out.colors.push_back(has ? m.colors[fv] : std::array<float, 4>{0, 0, 0, 1});
            out.hasColor.push_back(has ? 1 : 0);
        }
    if (MeshShape* shape = meshShapeOf(meshNodeOrData)) {
        if (shape->faceMaterial.any())
            for (int f = 0; f < m.numFaces(); ++f) {
                const std::string& name = shape->faceMaterial[static_cast<size_t>(f)];
                int index = -1;
                for (size_t k = 0; k < out.materials.size() && !name.empty(); ++k)
                    if (out.materials[k] == name)
                        index = static_cast<int>(k);
                if (index < 0 && !name.empty()) {
                    index = static_cast<int>(out.materials.size());
                    out.materials.push_back(name);
                }
                out.faceMaterial.push_back(index);
            }
    }
    return MStatus::kSuccess;
}

MStatus sceneToMesh(const SceneMesh& in, const MObject& meshNodeOrData) {
    auto mesh = meshOf(meshNodeOrData);
    if (!mesh)
        return MStatus::kInvalidParameter;
    // Check the indices before anything is replaced.
    size_t corners = 0;
    for (int32_t c : in.faceCounts) {
        if (c < 1)
            return MStatus::kInvalidParameter;
        corners += static_cast<size_t>(c);
    }
    if (corners != in.faceVertices.size())
        return MStatus::kInvalidParameter;
    for (int32_t v : in.faceVertices)
        if (v < 0 || v >= static_cast<int32_t>(in.points.size()))
            return MStatus::kInvalidParameter;
    for (const SceneUVSet& s : in.uvSets) {
        if (s.u.size() != s.v.size() || s.uvIds.size() != corners)
            return MStatus::kInvalidParameter;
        for (int32_t id : s.uvIds)
            if (id < -1 || id >= static_cast<int32_t>(s.u.size()))
                return MStatus::kInvalidParameter;
    }
    if ((!in.normals.empty() && in.normals.size() != corners) ||
        (!in.colors.empty() && in.colors.size() != corners))
        return MStatus::kInvalidParameter;

    MeshGeom m;
    std::vector<MeshGeom::Vec3> points;
    points.reserve(in.points.size());
    for (const auto& p : in.points)
        points.push_back({p[0], p[1], p[2]});
    m.setTopology(std::move(points), std::vector<int>(in.faceCounts.begin(), in.faceCounts.end()),
                  std::vector<int>(in.faceVertices.begin(), in.faceVertices.end()));
    if (!in.uvSets.empty())
        m.uvSets.clear();
    for (const SceneUVSet& s : in.uvSets) {
        const bool none = std::all_of(s.uvIds.begin(), s.uvIds.end(), [](int32_t id) { return id < 0; });
        m.uvSets.push_back(UVSet{
            s.name, s.u, s.v, none ? std::vector<int>() : std::vector<int>(s.uvIds.begin(), s.uvIds.end())});
    }
    if (!in.normals.empty()) {
        m.normals.reserve(corners);
        for (const auto& n : in.normals)
            m.normals.push_back({n[0], n[1], n[2]});
        m.hasNormal.assign(corners, 1);
    }
    if (!in.colors.empty()) {
        m.colors = in.colors;
        m.hasColor = in.hasColor.size() == corners ? in.hasColor : std::vector<uint8_t>(corners, 1);
    }
    *mesh = std::move(m);
    meshChanged(meshNodeOrData);
    const size_t faces = std::min(in.faceMaterial.size(), static_cast<size_t>(mesh->numFaces()));
    MeshShape* shape = asMeshNode(meshNodeOrData) ? meshShapeOf(meshNodeOrData) : nullptr;
    if (shape && faces > 0) {
        // Each material is looked up by name once, not once per face; a face without one gets "".
        FaceMaterials& materials = shape->faceMaterial;
        materials.resize(static_cast<size_t>(mesh->numFaces()));
        std::vector<uint32_t> ids;
        for (const std::string& name : in.materials)
            ids.push_back(materials.idOf(name));
        const uint32_t none = materials.idOf(std::string());
        for (size_t f = 0; f < faces; ++f) {
            const int k = in.faceMaterial[f];
            materials.set(f, k >= 0 && k < static_cast<int>(ids.size()) ? ids[k] : none);
        }
    }
    return MStatus::kSuccess;
}

MObject createMeshNode(const SceneMesh& in, MStatus* status) {
    MStatus s;
    auto node = Scene::get().createNode("mesh", in.name, s);
    if (!node) {
        setStatus(status, s);
        return MObject();
    }
    MObject obj(node);
    s = sceneToMesh(in, obj);
    if (!s) {
        Scene::get().deleteNode(node);
        obj = MObject();
    }
    setStatus(status, s);
    return obj;
}

} // namespace gxhost
