// MFnMesh: reads and writes a polygon mesh. Attaches to a mesh data object or to a `mesh` node (whose
// mesh is its own while `inMesh` is unconnected, the upstream mesh otherwise).
//
// A mesh holds vertices, polygons of any size, named UV sets ("map1" first) with per-face-vertex UV
// ids (a face may lack UVs in a set), per-face-vertex colours (may be missing) and normals (the host's
// area-weighted smooth normals where none are set).
#pragma once

#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnBase.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSpace.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MVectorArray.h>

#include <array>
#include <vector>

namespace gxhost {
struct MeshGeom;
}

class MFnMesh : public MFnBase {
public:
    GX_ATTACHING_FUNCTION_SET(MFnMesh, MFn::kMesh)

    // Builds the mesh into parentOrOwner (a mesh data object, which is returned); with the null object
    // a new `mesh` node is created and returned.
    MObject create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   const MObject& parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = nullptr);
    MObject create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   const MObject& parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = nullptr);
    // An independent copy of the source mesh (node or data) in parentOrOwner.
    MObject copy(const MObject& source, const MObject& parentOrOwner = MObject::kNullObj,
                 MStatus* ReturnStatus = nullptr);

    int numVertices(MStatus* ReturnStatus = nullptr) const;
    int numPolygons(MStatus* ReturnStatus = nullptr) const;
    int numFaceVertices(MStatus* ReturnStatus = nullptr) const;
    int numEdges(MStatus* ReturnStatus = nullptr) const;
    int numUVs(MStatus* ReturnStatus = nullptr) const;
    int numUVs(const MString& uvSet, MStatus* ReturnStatus = nullptr) const;
    int numUVSets(MStatus* ReturnStatus = nullptr) const;
    int numNormals(MStatus* ReturnStatus = nullptr) const;
    int numColors(MStatus* ReturnStatus = nullptr) const;
    int polygonVertexCount(int polygonId, MStatus* ReturnStatus = nullptr) const;
    MStatus getPolygonVertices(int polygonId, MIntArray& vertexList) const;
    MStatus getVertices(MIntArray& vertexCount, MIntArray& vertexList) const;

    MStatus getPoints(MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus getPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoints(const MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus setPoints(const MPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus getPoint(int vertexId, MPoint& pos, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoint(int vertexId, const MPoint& pos, MSpace::Space space = MSpace::kObject);

    MStatus getUVSetNames(MStringArray& setNames) const;
    MStatus getCurrentUVSetName(MString& setName) const;
    MString currentUVSetName(MStatus* ReturnStatus = nullptr) const;
    MStatus setCurrentUVSetName(const MString& setName);
    MStatus createUVSet(const MString& setName);
    MStatus deleteUVSet(const MString& setName);
    // A null uvSet means the current set. setUVs creates a named set that does not exist yet.
    MStatus getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet = nullptr) const;
    MStatus setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet = nullptr);
    MStatus assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet = nullptr);
    MStatus getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet = nullptr) const;
    MStatus getPolygonUV(int polygonId, int vertexIndex, float& u, float& v,
                         const MString* uvSet = nullptr) const;
    MStatus getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet = nullptr) const;

    MStatus getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getFaceVertexNormal(int faceIndex, int vertexIndex, MVector& normal,
                                MSpace::Space space = MSpace::kObject) const;
    MStatus getVertexNormal(int vertexId, MVector& normal, MSpace::Space space = MSpace::kObject) const;
    // One normal per (face, vertex) pair of the lists.
    MStatus setFaceVertexNormals(const MVectorArray& normalArray, const MIntArray& faceList,
                                 const MIntArray& vertexList, MSpace::Space space = MSpace::kObject);
    MStatus setFaceVertexNormal(const MVector& normal, int faceId, int vertexId,
                                MSpace::Space space = MSpace::kObject);

    MStatus setFaceVertexColors(const MColorArray& colors, const MIntArray& faceList,
                                const MIntArray& vertexList);
    MStatus setFaceVertexColor(const MColor& color, int faceIndex, int vertexIndex);
    MStatus getFaceVertexColor(int faceIndex, int vertexIndex, MColor& color) const;

    // Host side: the mesh this function set works on (null when unattached).
    gxhost::MeshGeom* geom() const;

private:
    // `points` holds the first numVertices positions (fewer when the caller's array is short).
    MObject build(int numVertices, int numPolygons, std::vector<std::array<double, 3>> points,
                  const MIntArray& counts, const MIntArray& connects, const MObject& parentOrOwner,
                  MStatus* ReturnStatus);
    void changed();
};
