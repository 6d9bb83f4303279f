// PluginFixture: an empty scene with the product plug-in (Gradix_Release.mll) loaded, and the
// meshes the visualizer and shader tests draw and match: bumpy grids over [-1, 1]^2 built as host
// mesh nodes, optionally with two materials split down the middle.
#pragma once

#include "../GridMesh.h"
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
        gxhost::SceneMesh m = gxtest::gridMesh(name, n, [&](float x, float y) {
            const float px = -1.0f + 2.0f * x / float(n), py = -1.0f + 2.0f * y / float(n);
            return std::array<float, 3>{px, py, bump * std::sin(2.0f * px) * std::cos(3.0f * py)};
        });
        if (materials) {
            m.materials = {"matLeft", "matRight"};
            for (size_t f = 0; f < m.faceMaterial.size(); ++f)
                m.faceMaterial[f] = 2 * int(f % size_t(n)) < n ? 0 : 1;
        }
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
