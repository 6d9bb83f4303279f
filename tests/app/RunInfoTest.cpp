// `gradix run` (scripts in the host with the plug-in loaded) and `gradix info`.
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace apptest;

namespace {
const std::string kSample = GRADIX_SAMPLE;
} // namespace

TEST(Run, ScriptBuildsTheGraphAndWritesTheResult) {
    ScratchDir dir;
    writeText(dir.path("lod.gx"), "// the expected wiring, by hand\n"
                                  "importMesh \"" +
                                      kSample +
                                      "\"\n"
                                      "createNode Gradix -n gx\n"
                                      "createNode EditUVs -n uvs\n"
                                      "createNode mesh -n lod\n"
                                      "connectAttr Terrain.outMesh gx.inMesh\n"
                                      "connectAttr gx.outMesh uvs.inMesh\n"
                                      "connectAttr gx.outUVs uvs.inUVs\n"
                                      "connectAttr gx.outUVids uvs.inUVids\n"
                                      "connectAttr uvs.outMesh lod.inMesh\n"
                                      "setAttr gx.resolution 150\n"
                                      "getAttr gx.resolution\n"
                                      "setAttr gx.resolution 30\n"
                                      "exportMesh \"" +
                                      dir.path("lod.glb") + "\" lod\n");
    const ToolRun run = gradix({"run", dir.path("lod.gx")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("// Result: 100\n"), std::string::npos) << "the node clamps the resolution\n"
                                                                   << run.out;
    const auto meshes = readMeshes(dir.path("lod.glb"));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_NEAR(static_cast<double>(triangleCount(meshes)), 0.3 * 3840, 2.0);
    EXPECT_EQ(meshes[0].uvSets.size(), 3u);
}

TEST(Run, FailingLineStopsTheScriptWithOneLine) {
    ScratchDir dir;
    writeText(dir.path("bad.gx"),
              "createNode Gradix -n gx\n\nsetAttr gx.noSuchAttribute 3\ncreateNode mesh -n after\n"
              "getAttr after.outMesh\n");
    const ToolRun run = gradix({"run", dir.path("bad.gx")});
    EXPECT_EQ(run.status, 1);
    const auto lines = run.errLines();
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("bad.gx:3:"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("noSuchAttribute"), std::string::npos) << lines[0];
    EXPECT_EQ(run.out.find("after"), std::string::npos) << "nothing after the failing line runs";
}

TEST(Info, SampleDescribed) {
    const ToolRun run = gradix({"--json", "info", kSample});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonNumber(run.out, "vertices"), 49.0 * 41.0);
    EXPECT_EQ(jsonNumber(run.out, "triangles"), 3840.0);
    // The open border of a 48 x 40 sheet.
    EXPECT_EQ(jsonNumber(run.out, "boundaryEdges"), 2.0 * (48 + 40));
    EXPECT_EQ(jsonNumber(run.out, "nonManifoldEdges"), 0.0);
    EXPECT_NE(run.out.find("\"materials\":[\"Grass\",\"Rock\"]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"colors\":true"), std::string::npos);
}

TEST(Info, CountsBoundaryAndNonManifoldEdges) {
    // Three triangles on one edge (a fin), and a quad: the shared edge is non-manifold, the rest
    // border the surface.
    ScratchDir dir;
    writeText(dir.path("fin.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\n"
                                   "v 5 0 0\nv 6 0 0\nv 6 1 0\nv 5 1 0\n"
                                   "f 1 2 3\nf 2 1 4\nf 1 2 5\nf 6 7 8 9\n");
    const ToolRun run = gradix({"--json", "info", dir.path("fin.obj")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonNumber(run.out, "faces"), 4.0);
    EXPECT_EQ(jsonNumber(run.out, "triangles"), 5.0);
    EXPECT_EQ(jsonNumber(run.out, "nonManifoldEdges"), 1.0);
    EXPECT_EQ(jsonNumber(run.out, "boundaryEdges"), 6.0 + 4.0);
}

TEST(Sample, GeneratorRebuildsTheCommittedFile) {
    ScratchDir dir;
    const ToolRun run = runProgram(GRADIX_MAKE_SAMPLE, {dir.path("sample.glb")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readBytes(dir.path("sample.glb")) == readBytes(kSample));
}
