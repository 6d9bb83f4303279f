// reportError and ComputeNumTriangles.
#include "ComputeNumTriangles.h"
#include "Helpers.h"

#include <gxhost/Host.h>

#include <maya/MFloatPointArray.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>

#include <gtest/gtest.h>

using gxhost::MessageCapture;

namespace {

TEST(ReportErrorTest, ShowsOneLineAndReturnsTheStatus) {
    MessageCapture capture;
    MStatus status = reportError("GradixNode::compute: Couldn't update mesh", MStatus::kInvalidParameter);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.errors()[0], "(kInvalidParameter): Object is incompatible with this method --> "
                                   "GradixNode::compute: Couldn't update "
                                   "mesh");
    EXPECT_EQ(reportError("x", MStatus::kFailure), MStatus::kFailure);
    EXPECT_EQ(capture.errors()[1], "(kFailure): Unexpected Internal Failure --> x");
}

// A mesh data object with as many vertices as the largest index needs.
MObject meshOf(const std::vector<int>& counts, const std::vector<int>& verts) {
    MFloatPointArray points;
    for (int i = 0; i < 8; ++i)
        points.append(MFloatPoint(static_cast<float>(i % 3), static_cast<float>(i / 3), 0.0f));
    MIntArray c, v;
    c.vec() = counts;
    v.vec() = verts;
    MFnMeshData data;
    MObject obj = data.create();
    MFnMesh fn;
    MStatus status;
    fn.create(8, static_cast<int>(counts.size()), points, c, v, obj, &status);
    EXPECT_TRUE(status);
    return obj;
}

TEST(ComputeNumTrianglesTest, QuadsAndATriangleGiveFive) {
    MessageCapture capture;
    EXPECT_EQ(ComputeNumTriangles(MFnMesh(meshOf({4, 4, 3}, {0, 1, 4, 3, 1, 2, 5, 4, 3, 4, 6}))), 5);
    EXPECT_TRUE(capture.messages().empty());
}

TEST(ComputeNumTrianglesTest, PentagonGivesThree) {
    EXPECT_EQ(ComputeNumTriangles(MFnMesh(meshOf({5}, {0, 1, 2, 5, 4}))), 3);
}

TEST(ComputeNumTrianglesTest, TwoVertexPolygonAddsNothingAndReportsOnce) {
    MessageCapture capture;
    EXPECT_EQ(ComputeNumTriangles(MFnMesh(meshOf({3, 2, 4}, {0, 1, 3, 3, 4, 1, 2, 5, 4}))), 3);
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.errors()[0],
              "(kFailure): Unexpected Internal Failure --> Trinangle has less than 3 vertices");
}

TEST(ComputeNumTrianglesTest, FailedVertexCountSkipsThePolygon) {
    MFnMesh mesh(meshOf({3, 4, 5}, {0, 1, 3, 1, 2, 5, 4, 3, 4, 7, 6, 5}));
    MessageCapture capture;
    gxhost::injectFault("MFnMesh::polygonVertexCount", 2, MStatus::kNotFound);
    EXPECT_EQ(ComputeNumTriangles(mesh), 1 + 3);
    gxhost::clearFaults();
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.errors()[0],
              "(kNotFound): Object not found --> Call to 'getPolygonVertexCount' failed");
}

} // namespace
