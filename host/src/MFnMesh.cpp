#include "Access.h"
#include "Faults.h"
#include "MeshShape.h"
#include "Scene.h"

#include <maya/MFnMesh.h>

#include <algorithm>
#include <cmath>

using namespace gxhost;

namespace {

MVector toVector(const MeshGeom::Vec3& v) {
    return MVector(v[0], v[1], v[2]);
}

MVector unit(const MeshGeom::Vec3& v) {
    return toVector(v).normal();
}

// The UV set a call names (null: the current set), or -1.
int uvSetIndex(const MeshGeom& m, const MString* uvSet) {
    if (!uvSet)
        return m.currentUVSet < static_cast<int>(m.uvSets.size()) ? m.currentUVSet : -1;
    return m.findUVSet(uvSet->str());
}

// The UV set a call names (null: the current set) of a mesh, or null.
const UVSet* uvSetOf(const MeshGeom* m, const MString* uvSet) {
    const int set = m ? uvSetIndex(*m, uvSet) : -1;
    return set < 0 ? nullptr : &m->uvSets[set];
}

// The face-vertex of `face` whose vertex is `vertex`, or -1.
int cornerOfVertex(const MeshGeom& m, int face, int vertex) {
    if (face < 0 || face >= m.numFaces())
        return -1;
    for (int c = 0; c < m.faceCounts[face]; ++c)
        if (m.faceVerts[m.faceOffset(face) + c] == vertex)
            return m.faceOffset(face) + c;
    return -1;
}

// Runs `body` on the mesh of `fn` for the operation `op`, which may be made to fail first; without a
// mesh it fails.
template <typename F> MStatus withMesh(const char* op, const MFnMesh& fn, F body) {
    MStatus status;
    if (fault(op, &status))
        return status;
    MeshGeom* m = fn.geom();
    return m ? body(*m) : MStatus::kInvalidParameter;
}

// Runs `body` on the mesh `m` when `index` is one of its vertices or faces (below `count` of it); fails
// without a mesh or with an index out of range.
template <typename F> MStatus atIndex(MeshGeom* m, int index, int (MeshGeom::*count)() const, F body) {
    if (!m || index < 0 || index >= (m->*count)())
        return MStatus::kInvalidParameter;
    body(*m);
    return MStatus::kSuccess;
}

template <typename T> T fail(MStatus* ReturnStatus, MStatus status, T value) {
    setStatus(ReturnStatus, status);
    return value;
}

// Where a new or copied mesh goes: the given mesh data or mesh node, or a new mesh node when none is
// given; a null object (with `status` set) when the owner is something else or no node can be made.
MObject meshTarget(const MObject& parentOrOwner, MStatus& status) {
    status = MStatus::kSuccess;
    if (parentOrOwner.isNull()) {
        auto node = Scene::get().createNode("mesh", "", status);
        return node ? MObject(node) : MObject();
    }
    if (asData<MeshData>(parentOrOwner) || asMeshNode(parentOrOwner))
        return parentOrOwner;
    status = MStatus::kInvalidParameter;
    return MObject();
}

template <typename Array, typename Point> MStatus readPoints(const MeshGeom* m, Array& out) {
    if (!m)
        return MStatus::kInvalidParameter;
    out.clear();
    for (const auto& p : m->points)
        out.append(Point(static_cast<decltype(Point::x)>(p[0]), static_cast<decltype(Point::x)>(p[1]),
                         static_cast<decltype(Point::x)>(p[2])));
    return MStatus::kSuccess;
}

template <typename Array> bool writePoints(MeshGeom* m, const Array& in) {
    if (!m || in.length() != m->points.size())
        return false;
    for (unsigned int i = 0; i < in.length(); ++i)
        m->points[i] = {in[i].x, in[i].y, in[i].z};
    return true;
}

// Sets per-corner values (normals, colours) given as face and vertex lists; false when the lists
// differ in length or name a corner that does not exist.
template <typename Array, typename Value, typename Convert>
bool setCorners(const MeshGeom& m, const Array& values, const MIntArray& faceList,
                const MIntArray& vertexList, std::vector<Value>& store, std::vector<uint8_t>& has,
                Value blank, Convert convert) {
    if (values.length() != faceList.length() || faceList.length() != vertexList.length())
        return false;
    std::vector<int> corners(faceList.length());
    for (unsigned int i = 0; i < faceList.length(); ++i)
        if ((corners[i] = cornerOfVertex(m, faceList[i], vertexList[i])) < 0)
            return false;
    store.resize(m.faceVerts.size(), blank);
    has.resize(m.faceVerts.size(), 0);
    for (unsigned int i = 0; i < corners.size(); ++i) {
        store[corners[i]] = convert(values[i]);
        has[corners[i]] = 1;
    }
    return true;
}

// The first `count` points of an array (all of them when it is shorter), as the mesh stores them:
// converted straight from the caller's array, a million points need no copy in between.
template <typename Array> std::vector<MeshGeom::Vec3> firstPoints(const Array& array, int count) {
    std::vector<MeshGeom::Vec3> points(
        std::min<size_t>(array.length(), static_cast<size_t>(std::max(count, 0))));
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& p = array[static_cast<unsigned int>(i)];
        points[i] = {p.x, p.y, p.z};
    }
    return points;
}

template <typename Array, typename T> Array single(const T& value) {
    Array a;
    a.append(value);
    return a;
}

} // namespace

MStatus MFnMesh::setObject(const MObject& object) {
    return attach("MFnMesh::setObject", asData<MeshData>(object) || asMeshNode(object), obj_, object);
}

MeshGeom* MFnMesh::geom() const {
    auto mesh = meshOf(obj_);
    return mesh.get(); // owned by the data object or node, which obj_ keeps alive
}

void MFnMesh::changed() {
    meshChanged(obj_);
}

MObject MFnMesh::build(int numVertices, int numPolygons, std::vector<MeshGeom::Vec3> points,
                       const MIntArray& counts, const MIntArray& connects, const MObject& parentOrOwner,
                       MStatus* ReturnStatus) {
    if (fault("MFnMesh::create", ReturnStatus))
        return MObject();
    bool ok = numVertices >= 0 && numPolygons >= 0 && static_cast<int>(points.size()) >= numVertices &&
              static_cast<int>(counts.length()) == numPolygons;
    long total = 0;
    for (unsigned int f = 0; ok && f < counts.length(); ++f) {
        ok = counts[f] >= 1;
        total += counts[f];
    }
    ok = ok && total == static_cast<long>(connects.length());
    for (unsigned int i = 0; ok && i < connects.length(); ++i)
        ok = connects[i] >= 0 && connects[i] < numVertices;
    if (!ok)
        return fail(ReturnStatus, MStatus::kInvalidParameter, MObject());
    MStatus status;
    MObject target = meshTarget(parentOrOwner, status);
    if (target.isNull())
        return fail(ReturnStatus, status, MObject());
    auto mesh = meshOf(target);
    *mesh = MeshGeom();
    mesh->setTopology(std::move(points), counts.vec(), connects.vec());
    obj_ = target;
    changed();
    setStatus(ReturnStatus, MStatus::kSuccess);
    return target;
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        const MObject& parentOrOwner, MStatus* ReturnStatus) {
    return build(numVertices, numPolygons, firstPoints(vertexArray, numVertices), polygonCounts,
                 polygonConnects, parentOrOwner, ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        const MObject& parentOrOwner, MStatus* ReturnStatus) {
    return build(numVertices, numPolygons, firstPoints(vertexArray, numVertices), polygonCounts,
                 polygonConnects, parentOrOwner, ReturnStatus);
}

MObject MFnMesh::copy(const MObject& source, const MObject& parentOrOwner, MStatus* ReturnStatus) {
    if (fault("MFnMesh::copy", ReturnStatus))
        return MObject();
    auto src = meshOf(source);
    if (!src)
        return fail(ReturnStatus, MStatus::kInvalidParameter, MObject());
    MeshGeom copy = *src;
    MStatus status;
    MObject target = meshTarget(parentOrOwner, status);
    if (target.isNull())
        return fail(ReturnStatus, status, MObject());
    *meshOf(target) = std::move(copy);
    obj_ = target;
    changed();
    setStatus(ReturnStatus, MStatus::kSuccess);
    return target;
}

#define GX_MESH_OR(ret)                                                                                      \
    MeshGeom* m = geom();                                                                                    \
    if (!m)                                                                                                  \
        return fail(ReturnStatus, MStatus::kInvalidParameter, ret);

int MFnMesh::numVertices(MStatus* ReturnStatus) const {
    if (fault("MFnMesh::numVertices", ReturnStatus))
        return 0;
    GX_MESH_OR(0)
    return fail(ReturnStatus, MStatus::kSuccess, m->numPoints());
}

int MFnMesh::numPolygons(MStatus* ReturnStatus) const {
    if (fault("MFnMesh::numPolygons", ReturnStatus))
        return 0;
    GX_MESH_OR(0)
    return fail(ReturnStatus, MStatus::kSuccess, m->numFaces());
}

int MFnMesh::numFaceVertices(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    return fail(ReturnStatus, MStatus::kSuccess, m->numFaceVertices());
}

int MFnMesh::numEdges(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    std::vector<std::pair<int, int>> edges;
    for (int f = 0; f < m->numFaces(); ++f)
        for (int c = 0; c < m->faceCounts[f]; ++c) {
            int a = m->faceVerts[m->faceOffset(f) + c];
            int b = m->faceVerts[m->faceOffset(f) + (c + 1) % m->faceCounts[f]];
            edges.emplace_back(std::min(a, b), std::max(a, b));
        }
    std::sort(edges.begin(), edges.end());
    return fail(ReturnStatus, MStatus::kSuccess,
                static_cast<int>(std::unique(edges.begin(), edges.end()) - edges.begin()));
}

int MFnMesh::numUVs(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    int set = uvSetIndex(*m, nullptr);
    return fail(ReturnStatus, set < 0 ? MStatus::kFailure : MStatus::kSuccess,
                set < 0 ? 0 : static_cast<int>(m->uvSets[set].u.size()));
}

int MFnMesh::numUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    int set = uvSetIndex(*m, &uvSet);
    return fail(ReturnStatus, set < 0 ? MStatus::kInvalidParameter : MStatus::kSuccess,
                set < 0 ? 0 : static_cast<int>(m->uvSets[set].u.size()));
}

int MFnMesh::numUVSets(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    return fail(ReturnStatus, MStatus::kSuccess, static_cast<int>(m->uvSets.size()));
}

int MFnMesh::numNormals(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    return fail(ReturnStatus, MStatus::kSuccess, m->numFaceVertices());
}

int MFnMesh::numColors(MStatus* ReturnStatus) const {
    GX_MESH_OR(0)
    int n = 0;
    for (uint8_t h : m->hasColor)
        n += h ? 1 : 0;
    return fail(ReturnStatus, MStatus::kSuccess, n);
}

int MFnMesh::polygonVertexCount(int polygonId, MStatus* ReturnStatus) const {
    if (fault("MFnMesh::polygonVertexCount", ReturnStatus))
        return 0;
    GX_MESH_OR(0)
    if (polygonId < 0 || polygonId >= m->numFaces())
        return fail(ReturnStatus, MStatus::kInvalidParameter, 0);
    return fail(ReturnStatus, MStatus::kSuccess, m->faceCounts[polygonId]);
}

MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const {
    return atIndex(geom(), polygonId, &MeshGeom::numFaces, [&](const MeshGeom& m) {
        vertexList.clear();
        for (int c = 0; c < m.faceCounts[polygonId]; ++c)
            vertexList.append(m.faceVerts[m.faceOffset(polygonId) + c]);
    });
}

MStatus MFnMesh::getVertices(MIntArray& vertexCount, MIntArray& vertexList) const {
    MeshGeom* m = geom();
    if (!m)
        return MStatus::kInvalidParameter;
    vertexCount.vec() = m->faceCounts;
    vertexList.vec() = m->faceVerts;
    return MStatus::kSuccess;
}

MStatus MFnMesh::getPoints(MFloatPointArray& vertexArray, MSpace::Space) const {
    MStatus status;
    return fault("MFnMesh::getPoints", &status)
               ? status
               : readPoints<MFloatPointArray, MFloatPoint>(geom(), vertexArray);
}

MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space) const {
    MStatus status;
    return fault("MFnMesh::getPoints", &status) ? status
                                                : readPoints<MPointArray, MPoint>(geom(), vertexArray);
}

MStatus MFnMesh::setPoints(const MFloatPointArray& vertexArray, MSpace::Space) {
    if (!writePoints(geom(), vertexArray))
        return MStatus::kInvalidParameter;
    changed();
    return MStatus::kSuccess;
}

MStatus MFnMesh::setPoints(const MPointArray& vertexArray, MSpace::Space) {
    if (!writePoints(geom(), vertexArray))
        return MStatus::kInvalidParameter;
    changed();
    return MStatus::kSuccess;
}

MStatus MFnMesh::getPoint(int vertexId, MPoint& pos, MSpace::Space) const {
    return atIndex(geom(), vertexId, &MeshGeom::numPoints, [&](const MeshGeom& m) {
        const auto& p = m.points[vertexId];
        pos = MPoint(p[0], p[1], p[2]);
    });
}

MStatus MFnMesh::setPoint(int vertexId, const MPoint& pos, MSpace::Space) {
    return atIndex(geom(), vertexId, &MeshGeom::numPoints, [&](MeshGeom& m) {
        m.points[vertexId] = {pos.x, pos.y, pos.z};
        changed();
    });
}

MStatus MFnMesh::getUVSetNames(MStringArray& setNames) const {
    return withMesh("MFnMesh::getUVSetNames", *this, [&](const MeshGeom& m) {
        setNames.clear();
        for (const UVSet& s : m.uvSets)
            setNames.append(MString(s.name));
        return MStatus::kSuccess;
    });
}

MStatus MFnMesh::getCurrentUVSetName(MString& setName) const {
    MeshGeom* m = geom();
    int set = m ? uvSetIndex(*m, nullptr) : -1;
    if (set < 0)
        return MStatus::kFailure;
    setName = MString(m->uvSets[set].name);
    return MStatus::kSuccess;
}

MString MFnMesh::currentUVSetName(MStatus* ReturnStatus) const {
    MString name;
    setStatus(ReturnStatus, getCurrentUVSetName(name));
    return name;
}

MStatus MFnMesh::setCurrentUVSetName(const MString& setName) {
    MeshGeom* m = geom();
    int set = m ? m->findUVSet(setName.str()) : -1;
    if (set < 0)
        return MStatus::kInvalidParameter;
    m->currentUVSet = set;
    return MStatus::kSuccess;
}

MStatus MFnMesh::createUVSet(const MString& setName) {
    MeshGeom* m = geom();
    if (!m || setName.isEmpty() || m->findUVSet(setName.str()) >= 0)
        return MStatus::kInvalidParameter;
    m->addUVSet(setName.str());
    changed();
    return MStatus::kSuccess;
}

MStatus MFnMesh::deleteUVSet(const MString& setName) {
    MeshGeom* m = geom();
    int set = m ? m->findUVSet(setName.str()) : -1;
    if (set <= 0) // the default set stays
        return MStatus::kInvalidParameter;
    m->uvSets.erase(m->uvSets.begin() + set);
    if (m->currentUVSet >= static_cast<int>(m->uvSets.size()) || m->currentUVSet == set)
        m->currentUVSet = 0;
    changed();
    return MStatus::kSuccess;
}

MStatus MFnMesh::getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet) const {
    const UVSet* s = uvSetOf(geom(), uvSet);
    if (!s)
        return MStatus::kInvalidParameter;
    uArray.vec() = s->u;
    vArray.vec() = s->v;
    return MStatus::kSuccess;
}

MStatus MFnMesh::setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet) {
    return withMesh("MFnMesh::setUVs", *this, [&](MeshGeom& m) {
        int set = uvSetIndex(m, uvSet);
        if (uArray.length() != vArray.length() || (set < 0 && (!uvSet || uvSet->isEmpty())))
            return MStatus::kInvalidParameter;
        UVSet& s = m.uvSets[set < 0 ? m.addUVSet(uvSet->str()) : set];
        s.u = uArray.vec();
        s.v = vArray.vec();
        for (int& id : s.uvIds)
            if (id >= static_cast<int>(s.u.size()))
                id = -1;
        changed();
        return MStatus::kSuccess;
    });
}

MStatus MFnMesh::assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet) {
    return withMesh("MFnMesh::assignUVs", *this, [&](MeshGeom& m) {
        int set = uvSetIndex(m, uvSet);
        if (set < 0 || static_cast<int>(uvCounts.length()) != m.numFaces())
            return MStatus::kInvalidParameter;
        UVSet& s = m.uvSets[set];
        // A face's count is its corner count, or 0 when the face gets no UVs.
        unsigned int next = 0;
        for (int f = 0; f < m.numFaces(); ++f) {
            if (uvCounts[f] != 0 && uvCounts[f] != m.faceCounts[f])
                return MStatus::kInvalidParameter;
            next += static_cast<unsigned int>(uvCounts[f]);
        }
        if (next != uvIds.length())
            return MStatus::kInvalidParameter;
        for (unsigned int i = 0; i < uvIds.length(); ++i)
            if (uvIds[i] < -1 || uvIds[i] >= static_cast<int>(s.u.size()))
                return MStatus::kInvalidParameter;
        s.uvIds.assign(m.faceVerts.size(), -1);
        next = 0;
        for (int f = 0; f < m.numFaces(); ++f)
            for (int c = 0; c < uvCounts[f]; ++c)
                s.uvIds[m.faceOffset(f) + c] = uvIds[next++];
        changed();
        return MStatus::kSuccess;
    });
}

MStatus MFnMesh::getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet) const {
    const MeshGeom* m = geom();
    const UVSet* set = uvSetOf(m, uvSet);
    if (!set)
        return MStatus::kInvalidParameter;
    uvCounts.clear();
    uvIds.clear();
    const UVSet& s = *set;
    for (int f = 0; f < m->numFaces(); ++f) {
        bool all = true;
        for (int c = 0; c < m->faceCounts[f]; ++c)
            all = all && s.uvId(static_cast<size_t>(m->faceOffset(f) + c)) >= 0;
        uvCounts.append(all ? m->faceCounts[f] : 0);
        if (all)
            for (int c = 0; c < m->faceCounts[f]; ++c)
                uvIds.append(s.uvId(static_cast<size_t>(m->faceOffset(f) + c)));
    }
    return MStatus::kSuccess;
}

MStatus MFnMesh::getPolygonUV(int polygonId, int vertexIndex, float& u, float& v,
                              const MString* uvSet) const {
    int id = -1;
    MStatus status = getPolygonUVid(polygonId, vertexIndex, id, uvSet);
    if (!status)
        return status;
    MeshGeom* m = geom();
    const UVSet& s = m->uvSets[uvSetIndex(*m, uvSet)];
    u = s.u[id];
    v = s.v[id];
    return MStatus::kSuccess;
}

MStatus MFnMesh::getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet) const {
    MeshGeom* m = geom();
    int set = m ? uvSetIndex(*m, uvSet) : -1;
    int fv = m ? m->faceVertex(polygonId, vertexIndex) : -1;
    if (set < 0 || fv < 0)
        return MStatus::kInvalidParameter;
    uvId = m->uvSets[set].uvId(static_cast<size_t>(fv));
    return uvId < 0 ? MStatus::kFailure : MStatus::kSuccess;
}

MStatus MFnMesh::getPolygonNormal(int polygonId, MVector& normal, MSpace::Space) const {
    return atIndex(geom(), polygonId, &MeshGeom::numFaces,
                   [&](const MeshGeom& m) { normal = unit(m.faceNormalRaw(polygonId)); });
}

MStatus MFnMesh::getFaceVertexNormal(int faceIndex, int vertexIndex, MVector& normal, MSpace::Space) const {
    MeshGeom* m = geom();
    int fv = m ? cornerOfVertex(*m, faceIndex, vertexIndex) : -1;
    if (fv < 0)
        return MStatus::kInvalidParameter;
    normal = toVector(m->faceVertexNormal(fv));
    return MStatus::kSuccess;
}

MStatus MFnMesh::getVertexNormal(int vertexId, MVector& normal, MSpace::Space) const {
    return atIndex(geom(), vertexId, &MeshGeom::numPoints,
                   [&](const MeshGeom& m) { normal = toVector(m.vertexNormal(vertexId)); });
}

MStatus MFnMesh::setFaceVertexNormals(const MVectorArray& normalArray, const MIntArray& faceList,
                                      const MIntArray& vertexList, MSpace::Space) {
    return withMesh("MFnMesh::setFaceVertexNormals", *this, [&](MeshGeom& m) {
        if (!setCorners(m, normalArray, faceList, vertexList, m.normals, m.hasNormal, MeshGeom::Vec3{0, 0, 0},
                        [](const MVector& n) {
                            return MeshGeom::Vec3{n.x, n.y, n.z};
                        }))
            return MStatus::kInvalidParameter;
        changed();
        return MStatus::kSuccess;
    });
}

MStatus MFnMesh::setFaceVertexNormal(const MVector& normal, int faceId, int vertexId, MSpace::Space space) {
    return setFaceVertexNormals(single<MVectorArray>(normal), single<MIntArray>(faceId),
                                single<MIntArray>(vertexId), space);
}

MStatus MFnMesh::setFaceVertexColors(const MColorArray& colors, const MIntArray& faceList,
                                     const MIntArray& vertexList) {
    return withMesh("MFnMesh::setFaceVertexColors", *this, [&](MeshGeom& m) {
        using Colour = std::array<float, 4>;
        if (!setCorners(m, colors, faceList, vertexList, m.colors, m.hasColor, Colour{0, 0, 0, 1},
                        [](const MColor& c) {
                            return Colour{c.r, c.g, c.b, c.a};
                        }))
            return MStatus::kInvalidParameter;
        changed();
        return MStatus::kSuccess;
    });
}

MStatus MFnMesh::setFaceVertexColor(const MColor& color, int faceIndex, int vertexIndex) {
    return setFaceVertexColors(single<MColorArray>(color), single<MIntArray>(faceIndex),
                               single<MIntArray>(vertexIndex));
}

MStatus MFnMesh::getFaceVertexColor(int faceIndex, int vertexIndex, MColor& color) const {
    MeshGeom* m = geom();
    return m ? faceVertexColor(*m, cornerOfVertex(*m, faceIndex, vertexIndex), color)
             : MStatus::kInvalidParameter;
}
