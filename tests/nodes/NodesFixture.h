// NodesFixture: an empty scene with the node layer's plug-in loaded, and small source meshes built
// as host mesh nodes (polygons with per-corner UVs in several sets, normals and colours).
#pragma once

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
        gxhost::SceneMesh m;
        m.name = name;
        for (uint32_t y = 0; y <= n; ++y)
            for (uint32_t x = 0; x <= n; ++x)
                m.points.push_back(
                    {float(x), float(y), 0.5f * std::sin(0.7f * float(x)) * std::cos(0.5f * float(y))});
        for (uint32_t k = 0; k < uvSets; ++k) {
            gxhost::SceneUVSet set;
            set.name = k == 0 ? "map1" : "uvSet" + std::to_string(k + 1);
            for (uint32_t y = 0; y <= n; ++y)
                for (uint32_t x = 0; x <= n; ++x) {
                    set.u.push_back(float(x) / float(n) * 0.5f + 0.1f * float(k));
                    set.v.push_back(float(y) / float(n) * 0.5f + 0.2f * float(k));
                }
            m.uvSets.push_back(set);
        }
        for (uint32_t y = 0; y < n; ++y)
            for (uint32_t x = 0; x < n; ++x) {
                const int a = int(y * (n + 1) + x);
                const int corners[4] = {a, a + 1, a + int(n) + 2, a + int(n) + 1};
                m.faceCounts.push_back(4);
                for (int c : corners) {
                    m.faceVertices.push_back(c);
                    for (auto& set : m.uvSets)
                        set.uvIds.push_back(c);
                    m.normals.push_back({0.0f, 0.0f, 1.0f});
                    const float t = float(c % (n + 1)) / float(n);
                    m.colors.push_back({t, 1.0f - t, 0.5f, 1.0f});
                    m.hasColor.push_back(1);
                }
                m.faceMaterial.push_back(-1);
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
