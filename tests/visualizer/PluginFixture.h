// PluginFixture: an empty scene with the product plug-in (Gradix_Release.mll) loaded, and the
// meshes the visualizer and shader tests draw and match: bumpy grids over [-1, 1]^2 built as host
// mesh nodes, optionally with two materials split down the middle.
#pragma once

#include "SceneMesh.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

struct PluginFixtureMeshes {
    // n x n quads over [-1, 1]^2 with a height field z = bump * sin(2x) * cos(3y); faces with x < 0
    // get material "matLeft" and the others "matRight" when `materials` is set.
    static gxhost::SceneMesh grid(int n, const std::string& name, float bump = 0.15f,
                                  bool materials = false) {
        gxhost::SceneMesh m;
        m.name = name;
        for (int y = 0; y <= n; ++y)
            for (int x = 0; x <= n; ++x) {
                const float px = -1.0f + 2.0f * float(x) / float(n), py = -1.0f + 2.0f * float(y) / float(n);
                m.points.push_back({px, py, bump * std::sin(2.0f * px) * std::cos(3.0f * py)});
            }
        gxhost::SceneUVSet uvs;
        uvs.name = "map1";
        for (const auto& p : m.points) {
            uvs.u.push_back(0.5f * (p[0] + 1.0f));
            uvs.v.push_back(0.5f * (p[1] + 1.0f));
        }
        if (materials)
            m.materials = {"matLeft", "matRight"};
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int a = y * (n + 1) + x;
                const int corners[4] = {a, a + 1, a + n + 2, a + n + 1};
                m.faceCounts.push_back(4);
                for (int c : corners) {
                    m.faceVertices.push_back(c);
                    uvs.uvIds.push_back(c);
                }
                m.faceMaterial.push_back(materials ? (2 * x < n ? 0 : 1) : -1);
            }
        m.uvSets.push_back(uvs);
        return m;
    }
};

class PluginFixture : public ::testing::Test, protected PluginFixtureMeshes {
protected:
    void SetUp() override {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN));
    }
    void TearDown() override {
        gxhost::clearFaults();
        gxhost::resetScene();
    }

    static MObject meshNode(const gxhost::SceneMesh& mesh) {
        MStatus status;
        MObject node = gxhost::createMeshNode(mesh, &status);
        EXPECT_TRUE(status) << mesh.name;
        return node;
    }
};
