// HostFixture: every host test starts from an empty scene with the test plug-in loaded, and leaves
// no fault armed and no plug-in loaded behind it.
#pragma once

#include <gxhost/Host.h>

#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>

#include <gtest/gtest.h>

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GX_TEST_PLUGIN, &pluginName));
    }
    void TearDown() override {
        gxhost::clearFaults();
        gxhost::resetScene();
    }

    double number(const std::string& plug) {
        double v = -12345.0;
        EXPECT_TRUE(gxhost::getAttr(plug, v)) << plug;
        return v;
    }

    std::string pluginName;
};

// A mesh data object from points (x, y, z triples), face counts and face vertices.
inline MObject makeMesh(const std::vector<float>& xyz, const std::vector<int>& counts,
                        const std::vector<int>& verts, MStatus* status = nullptr) {
    MFloatPointArray points;
    for (size_t i = 0; i + 2 < xyz.size(); i += 3)
        points.append(MFloatPoint(xyz[i], xyz[i + 1], xyz[i + 2]));
    MIntArray c, v;
    c.vec() = counts;
    v.vec() = verts;
    MFnMeshData data;
    MObject obj = data.create();
    MFnMesh fn;
    fn.create(static_cast<int>(points.length()), static_cast<int>(counts.size()), points, c, v, obj, status);
    return obj;
}
