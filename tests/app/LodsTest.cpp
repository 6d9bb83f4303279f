// `gradix lods`: one file per level, finest first on one engine, a table that matches the files,
// the same files every time, and each the file `gradix simplify` writes for its level, keeping what
// the input holds.
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace apptest;

namespace {
const std::string kSample = GRADIX_SAMPLE;
} // namespace

TEST(Lods, OneFilePerLevelMatchingTheTableSeparateRunsAndRepeatedRuns) {
    ScratchDir dir;
    const std::string folder = dir.path("chain");
    // Out of order and repeated on purpose: levels are reached from the finest down, each once.
    const ToolRun run = gradix({"--json", "lods", kSample, "-o", folder, "--levels", "10,50,25,10,1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"chain/sample_lod1.glb", "chain/sample_lod10.glb",
                                                     "chain/sample_lod25.glb", "chain/sample_lod50.glb"}));
    const uint64_t source = triangleCount(readMeshes(kSample));
    uint64_t previous = source;
    size_t at = run.out.find("\"levels\"");
    for (double level : {50.0, 25.0, 10.0, 1.0}) {
        SCOPED_TRACE(level);
        const auto meshes =
            readMeshes(folder + "/sample_lod" + std::to_string(static_cast<int>(level)) + ".glb");
        const uint64_t triangles = triangleCount(meshes);
        EXPECT_LT(triangles, previous);
        EXPECT_NEAR(static_cast<double>(triangles), level / 100.0 * static_cast<double>(source), 2.0);
        EXPECT_EQ(meshes[0].uvSets.size(), 3u);
        if (level >= 10) {
            EXPECT_EQ(materialNames(meshes), (std::set<std::string>{"Grass", "Rock"}));
        }
        // The report's row for this level.
        at = run.out.find("\"level\":", at + 1);
        ASSERT_NE(at, std::string::npos) << run.out;
        EXPECT_EQ(jsonNumber(run.out.substr(at), "level"), level);
        EXPECT_EQ(jsonNumber(run.out.substr(at), "triangles"), static_cast<double>(triangles));
        EXPECT_EQ(jsonNumber(run.out.substr(at), "vertices"), static_cast<double>(usedVertexCount(meshes)));
        previous = triangles;
    }
    // The same levels again: the same bytes; and 25% reached after 50% on one engine is what a fresh
    // run straight to 25% gives.
    ASSERT_EQ(gradix({"lods", kSample, "-o", dir.path("again"), "--levels", "50,25"}).status, 0);
    const ToolRun direct = gradix({"simplify", kSample, "-o", dir.path("direct.glb"), "--percent", "25"});
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_NE(direct.out.find("reached"), std::string::npos) << direct.out;
    // What the sample holds is in that file: its name, colours, normals, and a UV for every corner of
    // every set (the extra sets are written back through EditUVs).
    const auto result = readMeshes(dir.path("direct.glb"));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].name, "Terrain");
    EXPECT_TRUE(hasColors(result[0]));
    EXPECT_FALSE(result[0].normals.empty());
    for (const auto& set : result[0].uvSets)
        for (int32_t id : set.uvIds)
            ASSERT_GE(id, 0) << set.name;
    for (const char* file : {"/sample_lod50.glb", "/sample_lod25.glb"})
        EXPECT_TRUE(readBytes(folder + file) == readBytes(dir.path("again") + file)) << file;
    EXPECT_TRUE(readBytes(folder + "/sample_lod25.glb") == readBytes(dir.path("direct.glb")));
}

TEST(Lods, TextTableListsEveryLevel) {
    ScratchDir dir;
    const ToolRun run =
        gradix({"lods", kSample, "-o", dir.path("t"), "--levels", "40,20", "--format", "obj"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("level  triangles  vertices  Hausdorff     mean  seconds"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("40%"), std::string::npos);
    EXPECT_NE(run.out.find("20%"), std::string::npos);
    EXPECT_TRUE(exists(dir.path("t/sample_lod20.mtl")));
    // Counts of a thousand or more are grouped by thousands: the 40% level's triangles as "1,5xx".
    const uint64_t triangles = triangleCount(readMeshes(dir.path("t/sample_lod40.obj")));
    ASSERT_GE(triangles, 1000u);
    const std::string grouped =
        std::to_string(triangles / 1000) + "," + std::to_string(1000 + triangles % 1000).substr(1);
    EXPECT_NE(run.out.find(" " + grouped + " "), std::string::npos) << grouped << " in\n" << run.out;
}
