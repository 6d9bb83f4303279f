// NodesFixture: an empty scene with the node layer's plug-in loaded, and small source meshes built
// as host mesh nodes (polygons with per-corner UVs in several sets, normals and colours).
#pragma once

#include "../GridMesh.h"
#include "SceneMesh.h"
#include "SlimInfoAttribute.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <maya/MFnMesh.h>
#include <maya/MFnPluginData.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

class NodesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GX_NODES_PLUGIN));
    }
    void TearDown() override {
        gxhost::clearFaults();
        gxhost::resetScene();
    }

    // An n x n grid of quads over a bump, with `uvSets` UV sets (set k shifted by k), smooth
    // per-corner normals and a colour that changes across the grid. Its node is called `name`.
    static gxhost::SceneMesh grid(uint32_t n, uint32_t uvSets, const std::string& name = "src") {
        gxhost::SceneMesh m = gxtest::gridMesh(name, int(n), [](float x, float y) {
            return std::array<float, 3>{x, y, 0.5f * std::sin(0.7f * x) * std::cos(0.5f * y)};
        });
        const gxhost::SceneUVSet plain = m.uvSets[0];
        m.uvSets.clear();
        for (uint32_t k = 0; k < uvSets; ++k) {
            m.uvSets.push_back(plain);
            m.uvSets[k].name = k == 0 ? "map1" : "uvSet" + std::to_string(k + 1);
            for (size_t i = 0; i < plain.u.size(); ++i) {
                m.uvSets[k].u[i] = plain.u[i] * 0.5f + 0.1f * float(k);
                m.uvSets[k].v[i] = plain.v[i] * 0.5f + 0.2f * float(k);
            }
        }
        for (int32_t c : m.faceVertices) {
            const float t = float(uint32_t(c) % (n + 1)) / float(n);
            m.normals.push_back({0.0f, 0.0f, 1.0f});
            m.colors.push_back({t, 1.0f - t, 0.5f, 1.0f});
            m.hasColor.push_back(1);
        }
        return m;
    }

    // source mesh -> Gradix "gx" -> EditUVs "ed".
    static void buildGraph(const gxhost::SceneMesh& source) {
        MStatus status;
        gxhost::createMeshNode(source, &status);
        ASSERT_TRUE(status);
        gxhost::createNode("Gradix", "gx", &status);
        ASSERT_TRUE(status);
        gxhost::createNode("EditUVs", "ed", &status);
        ASSERT_TRUE(status);
        ASSERT_TRUE(gxhost::connect(source.name + ".outMesh", "gx.inMesh"));
        ASSERT_TRUE(gxhost::connect("gx.outMesh", "ed.inMesh"));
        ASSERT_TRUE(gxhost::connect("gx.outUVs", "ed.inUVs"));
        ASSERT_TRUE(gxhost::connect("gx.outUVids", "ed.inUVids"));
    }

    static MObject meshAt(const std::string& plug) {
        MObject data;
        EXPECT_TRUE(gxhost::getAttr(plug, data)) << plug;
        return data;
    }
    static int polygons(const std::string& plug) {
        const MObject data = meshAt(plug);
        return data.isNull() ? -1 : MFnMesh(data).numPolygons();
    }
    static SlimInfoAttribute* slimInfo(const std::string& plug = "gx.outSlimInfo") {
        MObject data;
        EXPECT_TRUE(gxhost::getAttr(plug, data));
        MFnPluginData fn(data);
        MPxData* px = fn.data();
        if (!px || !(px->typeId() == MTypeId(0x001057C1)))
            return nullptr;
        return static_cast<SlimInfoAttribute*>(px);
    }
};
