#include "Faults.h"
#include "MeshShape.h"
#include "Triangulator.h"

#include <maya/MItMeshPolygon.h>

using namespace gxhost;

namespace {

// The UV set named `uvSet` (null: the current set) and the UV id in it of corner `vertex` of `face`:
// kInvalidParameter when there is no such set or corner, kFailure when the corner has no UV.
MStatus uvIdOf(const MeshGeom& m, int face, int vertex, const MString* uvSet, const UVSet*& set, int& id) {
    int index = uvSet ? m.findUVSet(uvSet->str()) : m.currentUVSet;
    int fv = m.faceVertex(face, vertex);
    if (index < 0 || index >= static_cast<int>(m.uvSets.size()) || fv < 0)
        return MStatus::kInvalidParameter;
    set = &m.uvSets[index];
    id = set->uvId(static_cast<size_t>(fv));
    return id < 0 ? MStatus::kFailure : MStatus::kSuccess;
}

} // namespace

MItMeshPolygon::MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus) : obj_(polyObject) {
    if (fault("MItMeshPolygon::MItMeshPolygon", ReturnStatus))
        return;
    mesh_ = meshOf(polyObject);
    hadSmoothNormals_ = mesh_ && mesh_->hasSmoothNormals();
    setStatus(ReturnStatus, mesh_ ? MStatus::kSuccess : MStatus::kInvalidParameter);
}

// A pass over the polygons that made the mesh's smooth normals (reading normals a source does not
// carry) releases them again.
MItMeshPolygon::~MItMeshPolygon() {
    if (mesh_ && !hadSmoothNormals_)
        mesh_->releaseSmoothNormals();
}

// True when the iterator stands on a polygon; otherwise the status says why not.
bool MItMeshPolygon::valid(MStatus* ReturnStatus, const char* op) {
    if (fault(op, ReturnStatus))
        return false;
    if (!mesh_ || current_ >= static_cast<unsigned int>(mesh_->numFaces())) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return false;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return true;
}

const Triangulation& MItMeshPolygon::triangulation() {
    if (!triangulated_) {
        if (!tri_)
            tri_ = std::make_unique<PolygonCorners>();
        std::vector<std::array<double, 3>>& corners = tri_->corners;
        corners.clear();
        for (int c = 0; c < mesh_->faceCounts[current_]; ++c)
            corners.push_back(mesh_->points[mesh_->faceVerts[mesh_->faceOffset(current_) + c]]);
        triangulatePolygon(corners, tri_->triangulation);
        triangulated_ = true;
    }
    return tri_->triangulation;
}

bool MItMeshPolygon::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, mesh_ ? MStatus::kSuccess : MStatus::kFailure);
    return !mesh_ || current_ >= static_cast<unsigned int>(mesh_->numFaces());
}

MStatus MItMeshPolygon::moveTo(const char* op, unsigned int face) {
    MStatus status;
    if (fault(op, &status))
        return status;
    if (!mesh_)
        return MStatus::kFailure;
    current_ = face;
    triangulated_ = false;
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::next() {
    return moveTo("MItMeshPolygon::next", current_ + 1);
}

MStatus MItMeshPolygon::reset() {
    return moveTo("MItMeshPolygon::reset", 0);
}

unsigned int MItMeshPolygon::count(MStatus* ReturnStatus) {
    if (fault("MItMeshPolygon::count", ReturnStatus))
        return 0;
    setStatus(ReturnStatus, mesh_ ? MStatus::kSuccess : MStatus::kFailure);
    return mesh_ ? static_cast<unsigned int>(mesh_->numFaces()) : 0;
}

int MItMeshPolygon::index(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, mesh_ ? MStatus::kSuccess : MStatus::kFailure);
    return static_cast<int>(current_);
}

MStatus MItMeshPolygon::setIndex(int index, int& prevIndex) {
    if (!mesh_ || index < 0 || index >= mesh_->numFaces())
        return MStatus::kInvalidParameter;
    prevIndex = static_cast<int>(current_);
    current_ = static_cast<unsigned int>(index);
    triangulated_ = false;
    return MStatus::kSuccess;
}

unsigned int MItMeshPolygon::polygonVertexCount(MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::polygonVertexCount"))
        return 0;
    return static_cast<unsigned int>(mesh_->faceCounts[current_]);
}

int MItMeshPolygon::vertexIndex(int index, MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::vertexIndex"))
        return -1;
    int fv = mesh_->faceVertex(static_cast<int>(current_), index);
    setStatus(ReturnStatus, fv < 0 ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return fv < 0 ? -1 : mesh_->faceVerts[fv];
}

MStatus MItMeshPolygon::getVertices(MIntArray& vertices) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getVertices"))
        return status;
    vertices.clear();
    for (int c = 0; c < mesh_->faceCounts[current_]; ++c)
        vertices.append(mesh_->faceVerts[mesh_->faceOffset(current_) + c]);
    return MStatus::kSuccess;
}

MPoint MItMeshPolygon::point(int index, MSpace::Space, MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::point"))
        return MPoint();
    int fv = mesh_->faceVertex(static_cast<int>(current_), index);
    if (fv < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPoint();
    }
    const auto& p = mesh_->points[mesh_->faceVerts[fv]];
    return MPoint(p[0], p[1], p[2]);
}

MStatus MItMeshPolygon::getPoints(MPointArray& pointArray, MSpace::Space space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getPoints"))
        return status;
    pointArray.clear();
    for (int c = 0; c < mesh_->faceCounts[current_]; ++c)
        pointArray.append(point(c, space));
    return MStatus::kSuccess;
}

MPoint MItMeshPolygon::center(MSpace::Space, MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::center"))
        return MPoint();
    double x = 0, y = 0, z = 0;
    int n = mesh_->faceCounts[current_];
    for (int c = 0; c < n; ++c) {
        const auto& p = mesh_->points[mesh_->faceVerts[mesh_->faceOffset(current_) + c]];
        x += p[0], y += p[1], z += p[2];
    }
    return MPoint(x / n, y / n, z / n);
}

MStatus MItMeshPolygon::getArea(double& area, MSpace::Space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getArea"))
        return status;
    auto n = mesh_->faceNormalRaw(static_cast<int>(current_));
    area = 0.5 * MVector(n[0], n[1], n[2]).length();
    return MStatus::kSuccess;
}

bool MItMeshPolygon::zeroArea(MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::zeroArea"))
        return false;
    return triangulation().zeroArea;
}

bool MItMeshPolygon::hasValidTriangulation(MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::hasValidTriangulation"))
        return false;
    return triangulation().valid;
}

MStatus MItMeshPolygon::numTriangles(int& triangles) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::numTriangles"))
        return status;
    triangles = static_cast<int>(triangulation().triangles.size());
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::getTriangle(int localTriIndex, MPointArray& points, MIntArray& vertexList,
                                    MSpace::Space space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getTriangle"))
        return status;
    const Triangulation& t = triangulation();
    if (localTriIndex < 0 || localTriIndex >= static_cast<int>(t.triangles.size()))
        return MStatus::kInvalidParameter;
    points.clear();
    vertexList.clear();
    for (int corner : t.triangles[localTriIndex]) {
        points.append(point(corner, space));
        vertexList.append(mesh_->faceVerts[mesh_->faceOffset(current_) + corner]);
    }
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::getTriangles(MPointArray& points, MIntArray& vertexList, MSpace::Space space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getTriangles"))
        return status;
    points.clear();
    vertexList.clear();
    int n = static_cast<int>(triangulation().triangles.size());
    for (int i = 0; i < n; ++i) {
        MPointArray p;
        MIntArray v;
        getTriangle(i, p, v, space);
        for (unsigned int k = 0; k < 3; ++k) {
            points.append(p[k]);
            vertexList.append(v[k]);
        }
    }
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::getNormal(MVector& normal, MSpace::Space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getNormal"))
        return status;
    auto n = mesh_->faceNormalRaw(static_cast<int>(current_));
    normal = MVector(n[0], n[1], n[2]).normal();
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::getNormal(unsigned int vertexIndex, MVector& normal, MSpace::Space) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getNormal"))
        return status;
    int fv = vertexIndex > 0x7FFFFFFFu
                 ? -1
                 : mesh_->faceVertex(static_cast<int>(current_), static_cast<int>(vertexIndex));
    if (fv < 0)
        return MStatus::kInvalidParameter;
    auto n = mesh_->faceVertexNormal(fv);
    normal = MVector(n[0], n[1], n[2]);
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::getUVIndex(int vertex, int& index, const MString* uvSet) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getUVIndex"))
        return status;
    const UVSet* set = nullptr;
    return uvIdOf(*mesh_, static_cast<int>(current_), vertex, uvSet, set, index);
}

MStatus MItMeshPolygon::getUV(int vertex, float2& uvPoint, const MString* uvSet) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getUV"))
        return status;
    const UVSet* set = nullptr;
    int id = -1;
    status = uvIdOf(*mesh_, static_cast<int>(current_), vertex, uvSet, set, id);
    if (!status)
        return status;
    uvPoint[0] = set->u[id];
    uvPoint[1] = set->v[id];
    return MStatus::kSuccess;
}

bool MItMeshPolygon::hasUVs(MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::hasUVs"))
        return false;
    int set = mesh_->currentUVSet;
    if (set < 0 || set >= static_cast<int>(mesh_->uvSets.size()))
        return false;
    for (int c = 0; c < mesh_->faceCounts[current_]; ++c)
        if (mesh_->uvSets[set].uvId(static_cast<size_t>(mesh_->faceOffset(current_) + c)) < 0)
            return false;
    return true;
}

MStatus MItMeshPolygon::getColor(MColor& color, int vertexIndex) {
    MStatus status;
    if (!valid(&status, "MItMeshPolygon::getColor"))
        return status;
    return faceVertexColor(*mesh_, mesh_->faceVertex(static_cast<int>(current_), vertexIndex), color);
}

bool MItMeshPolygon::hasColor(MStatus* ReturnStatus) {
    if (!valid(ReturnStatus, "MItMeshPolygon::hasColor"))
        return false;
    for (int c = 0; c < mesh_->faceCounts[current_]; ++c) {
        int fv = mesh_->faceOffset(current_) + c;
        if (fv < static_cast<int>(mesh_->hasColor.size()) && mesh_->hasColor[fv])
            return true;
    }
    return false;
}
