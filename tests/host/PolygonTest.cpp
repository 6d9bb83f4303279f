// Polygons as MItMeshPolygon presents them: triangulation of convex, concave and degenerate polygons,
// and per-corner normals (per-corner UVs and colours are in the mesh node's round trip test).
#include "HostFixture.h"

#include <maya/MItMeshPolygon.h>
#include <maya/MPointArray.h>
#include <maya/MVectorArray.h>

#include <cmath>

namespace {

struct Tri {
    MPointArray points;
    MIntArray verts;
};

std::vector<Tri> triangles(MItMeshPolygon& it) {
    int n = -1;
    EXPECT_TRUE(it.numTriangles(n));
    std::vector<Tri> out(static_cast<size_t>(std::max(n, 0)));
    for (int t = 0; t < n; ++t)
        EXPECT_TRUE(it.getTriangle(t, out[t].points, out[t].verts, MSpace::kObject));
    return out;
}

// Signed area of a triangle in the xy plane (positive when counter-clockwise).
double signedArea(const Tri& t) {
    const MPoint &a = t.points[0], &b = t.points[1], &c = t.points[2];
    return 0.5 * ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

std::vector<int> verts(const Tri& t) {
    return {t.verts[0], t.verts[1], t.verts[2]};
}

TEST(PolygonTest, ConvexPolygonsAreFannedFromCornerZeroSkippingRepeatedPositions) {
    //  3 --- 2       4 ----- 2=3     corners 2 and 3 are different vertices at the same position:
    //  |     |       |        |      the triangles use the first of them
    //  0 --- 1       0 ------ 1
    const struct {
        std::vector<float> xyz;
        std::vector<int> corners;
        std::vector<std::vector<int>> triangles;
        double centre; // x and y of the corners' mean
    } cases[] = {
        {{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {0, 1, 2, 3}, {{0, 1, 2}, {0, 2, 3}}, 0.5},
        {{0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 0}, {0, 1, 2, 3, 4}, {{0, 1, 2}, {0, 2, 4}}, 0.6},
    };
    for (const auto& c : cases) {
        MObject mesh = makeMesh(c.xyz, {int(c.corners.size())}, c.corners);
        MItMeshPolygon it(mesh);
        EXPECT_EQ(it.polygonVertexCount(), c.corners.size());
        EXPECT_TRUE(it.hasValidTriangulation());
        EXPECT_FALSE(it.zeroArea());
        std::vector<std::vector<int>> got;
        for (const Tri& t : triangles(it)) {
            got.push_back(verts(t));
            EXPECT_EQ(t.points[1], MPoint(c.xyz[3 * t.verts[1]], c.xyz[3 * t.verts[1] + 1], 0));
        }
        EXPECT_EQ(got, c.triangles);
        EXPECT_TRUE(it.center(MSpace::kObject).isEquivalent(MPoint(c.centre, c.centre, 0), 1e-12));
        MVector n;
        ASSERT_TRUE(it.getNormal(n, MSpace::kObject));
        EXPECT_TRUE(n.isEquivalent(MVector(0, 0, 1)));
    }
}

TEST(PolygonTest, ConcaveLShapedHexagonIsCutIntoEarsInsideThePolygon) {
    //  1 --- 0
    //  |     |
    //  |     5 --- 4       corner 0 cannot see corner 3: a fan from it would cover the notch
    //  |           |
    //  2 --------- 3
    MObject mesh = makeMesh({1, 2, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0}, {6}, {0, 1, 2, 3, 4, 5});
    MItMeshPolygon it(mesh);
    ASSERT_TRUE(it.hasValidTriangulation());
    auto tris = triangles(it);
    ASSERT_EQ(tris.size(), 4u);
    double area = 0.0;
    for (const Tri& t : tris) {
        EXPECT_GT(signedArea(t), 0.0) << "winding kept";
        area += signedArea(t);
        double cx = (t.points[0].x + t.points[1].x + t.points[2].x) / 3.0;
        double cy = (t.points[0].y + t.points[1].y + t.points[2].y) / 3.0;
        EXPECT_FALSE(cx > 1.0 && cy > 1.0) << "no triangle lies in the notch";
    }
    EXPECT_DOUBLE_EQ(area, 3.0) << "the triangles tile the polygon without overlap";
}

TEST(PolygonTest, DegeneratePolygonsHaveNoValidTriangulation) {
    // A flat triangle (zero area), a bow-tie (crossing edges) and a two-corner polygon.
    MObject mesh =
        makeMesh({0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0}, {3, 4, 2}, {0, 1, 2, 0, 4, 1, 3, 0, 1});
    MItMeshPolygon it(mesh);
    ASSERT_EQ(it.count(), 3u);
    for (int face = 0; face < 3; ++face, it.next()) {
        EXPECT_FALSE(it.hasValidTriangulation()) << face;
        int n = -1;
        EXPECT_TRUE(it.numTriangles(n));
        EXPECT_EQ(n, 0) << face;
        MPointArray p;
        MIntArray v;
        EXPECT_FALSE(it.getTriangle(0, p, v));
    }
    it.reset();
    EXPECT_TRUE(it.zeroArea());
}

TEST(PolygonTest, NormalsAreAreaWeightedUntilSetPerFaceVertex) {
    // Face 0 lies in z = 0 (area 2), face 1 in y = 0 facing +y (area 1); they share vertices 0 and 1.
    MObject mesh =
        makeMesh({0, 0, 0, 1, 0, 0, 1, 2, 0, 0, 2, 0, 0, 0, 1, 1, 0, 1}, {4, 4}, {0, 1, 2, 3, 1, 0, 4, 5});
    MItMeshPolygon it(mesh);
    MVector n;
    ASSERT_TRUE(it.getNormal(0u, n));
    EXPECT_TRUE(n.isEquivalent(MVector(0, 1, 2).normal(), 1e-12)) << n;
    ASSERT_TRUE(it.getNormal(2u, n));
    EXPECT_TRUE(n.isEquivalent(MVector(0, 0, 1), 1e-12)) << n;
    EXPECT_FALSE(it.getNormal(static_cast<unsigned int>(-1), n)) << "a local index of -1 fails";

    MFnMesh fn(mesh);
    MVectorArray normals;
    normals.append(MVector(1, 0, 0));
    MIntArray faces, vertices;
    faces.append(0);
    vertices.append(0);
    ASSERT_TRUE(fn.setFaceVertexNormals(normals, faces, vertices));
    MItMeshPolygon again(mesh);
    ASSERT_TRUE(again.getNormal(0u, n));
    EXPECT_EQ(n, MVector(1, 0, 0));
    ASSERT_TRUE(again.getNormal(1u, n));
    EXPECT_TRUE(n.isEquivalent(MVector(0, 1, 2).normal(), 1e-12)) << "other corners keep the host's normal";
}

} // namespace
