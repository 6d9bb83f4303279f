// MItMeshPolygon: walks the polygons of a mesh (node or data). Vertex indices passed to the per-corner
// queries are polygon-local (0 .. polygonVertexCount-1). Each polygon is triangulated by ear clipping;
// a polygon that cannot be triangulated (fewer than three distinct corners, zero area, crossing edges)
// has no valid triangulation and no triangles.
#pragma once

#include <maya/MColor.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSpace.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <memory>

namespace gxhost {
struct MeshGeom;
struct PolygonCorners;
struct Triangulation;
} // namespace gxhost

class MItMeshPolygon {
public:
    MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus = nullptr);
    ~MItMeshPolygon();
    MItMeshPolygon(const MItMeshPolygon&) = delete;
    MItMeshPolygon& operator=(const MItMeshPolygon&) = delete;

    bool isDone(MStatus* ReturnStatus = nullptr);
    MStatus next();
    MStatus reset();
    unsigned int count(MStatus* ReturnStatus = nullptr);
    int index(MStatus* ReturnStatus = nullptr);
    MStatus setIndex(int index, int& prevIndex);

    unsigned int polygonVertexCount(MStatus* ReturnStatus = nullptr);
    int vertexIndex(int index, MStatus* ReturnStatus = nullptr);
    MStatus getVertices(MIntArray& vertices);
    MPoint point(int index, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr);
    MStatus getPoints(MPointArray& pointArray, MSpace::Space space = MSpace::kObject);
    MPoint center(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr);
    MStatus getArea(double& area, MSpace::Space space = MSpace::kObject);

    bool zeroArea(MStatus* ReturnStatus = nullptr);
    bool hasValidTriangulation(MStatus* ReturnStatus = nullptr);
    MStatus numTriangles(int& triangles);
    MStatus getTriangle(int localTriIndex, MPointArray& points, MIntArray& vertexList,
                        MSpace::Space space = MSpace::kObject);
    MStatus getTriangles(MPointArray& points, MIntArray& vertexList, MSpace::Space space = MSpace::kObject);

    // Face normal, and the normal of one polygon-local corner.
    MStatus getNormal(MVector& normal, MSpace::Space space = MSpace::kObject);
    MStatus getNormal(unsigned int vertexIndex, MVector& normal, MSpace::Space space = MSpace::kObject);
    // Fails when the corner has no UV in the set (null means the current set) or the set does not exist.
    MStatus getUV(int vertex, float2& uvPoint, const MString* uvSet = nullptr);
    MStatus getUVIndex(int vertex, int& index, const MString* uvSet = nullptr);
    bool hasUVs(MStatus* ReturnStatus = nullptr);
    // Fails when the corner has no colour.
    MStatus getColor(MColor& color, int vertexIndex);
    bool hasColor(MStatus* ReturnStatus = nullptr);

private:
    // Moves to `face` for the operation `op`, which may be made to fail first.
    MStatus moveTo(const char* op, unsigned int face);
    bool valid(MStatus* ReturnStatus, const char* op);
    const gxhost::Triangulation& triangulation();

    MObject obj_;
    std::shared_ptr<gxhost::MeshGeom> mesh_;
    unsigned int current_ = 0;
    std::unique_ptr<gxhost::PolygonCorners> tri_; // made once, refilled for each polygon
    bool triangulated_ = false;                   // tri_ holds the current polygon's
    bool hadSmoothNormals_ = false;               // the mesh's smooth normals were made before
};
