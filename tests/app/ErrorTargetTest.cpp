// Measured error, error targets and parts that must survive, through the gradix tool.
#include "../GridMesh.h"
#include "ToolRun.h"

#include "io/MeshExporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>

using namespace apptest;

namespace {

const std::string kSample = GRADIX_SAMPLE;

// A bumpy n x n sheet `size` wide at `offset`, as one mesh without UVs.
gxhost::SceneMesh sheet(const std::string& name, int n, double size, double offset) {
    gxhost::SceneMesh mesh = gxtest::gridMesh(name, n, [&](float i, float j) {
        const double x = size * i / n, z = size * j / n;
        return std::array<float, 3>{float(offset + x),
                                    float(0.05 * size * std::sin(7.0 * x / size) * std::cos(5.0 * z / size)),
                                    float(z)};
    });
    mesh.uvSets.clear();
    return mesh;
}

// A closed box (12 triangles) of side `size` at `offset`.
gxhost::SceneMesh box(const std::string& name, double size, double offset) {
    gxhost::SceneMesh mesh;
    mesh.name = name;
    for (int k = 0; k < 8; ++k)
        mesh.points.push_back(
            {float(offset + size * (k & 1)), float(size * ((k >> 1) & 1)), float(size * (k >> 2))});
    mesh.faceCounts.assign(6, 4);
    mesh.faceVertices = {0, 2, 3, 1, 4, 5, 7, 6, 0, 1, 5, 4, 2, 6, 7, 3, 0, 4, 6, 2, 1, 3, 7, 5};
    return mesh;
}

double comparedPercent(const std::string& a, const std::string& b) {
    const ToolRun run = gradix({"--json", "compare", a, b});
    EXPECT_EQ(run.status, 0) << run.err;
    return jsonNumber(run.out, "hausdorffPercent");
}

TEST(ErrorTarget, ScenePartsOfVeryDifferentSizesAllSurviveOnePercent) {
    ScratchDir dir;
    const std::string in = dir.path("parts.glb"), out = dir.path("out.glb");
    std::string error;
    ASSERT_TRUE(gxhost::exportSceneFile(
        in, "", {sheet("big", 60, 100.0, 0.0), sheet("small", 4, 0.5, 120.0), box("bolt", 0.1, 130.0)},
        error))
        << error;
    const ToolRun run = gradix({"--json", "simplify", in, "-o", out, "--percent", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto meshes = readMeshes(out);
    ASSERT_EQ(meshes.size(), 3u);
    for (const auto& mesh : meshes)
        EXPECT_GE(triangleCount({mesh}), 4u) << mesh.name;
    // About 1 % of the scene's 7,244 triangles in all, floors included.
    EXPECT_LE(triangleCount(meshes), 110u);
    EXPECT_GT(jsonNumber(run.out, "hausdorffPercent"), 0.0);

    // Without the floors the parts may vanish; what is left still reads.
    const ToolRun dropped =
        gradix({"simplify", in, "-o", dir.path("dropped.glb"), "--percent", "1", "--allow-drop"});
    ASSERT_EQ(dropped.status, 0) << dropped.err;
    EXPECT_LE(triangleCount(readMeshes(dir.path("dropped.glb"))), 110u);

    // Meshes under the floor keep every triangle at any target: one triangle, four on one edge,
    // and two beside a flat one the plug-in skips (under the floor even whole).
    writeText(dir.path("tri.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    writeText(dir.path("book.obj"), "v 0 0 0\nv 0 0 1\nv 1 0 0\nv 0 1 0\nv -1 0 0\nv 0 -1 0\n"
                                    "f 1 2 3\nf 1 2 4\nf 1 2 5\nf 1 2 6\n");
    writeText(dir.path("flat.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 2 2 0\nv 3 3 0\n"
                                    "f 1 2 3\nf 2 4 3\nf 4 5 6\n");
    for (const auto& [file, percent, kept] : {std::tuple<const char*, const char*, size_t>{"tri.obj", "20", 1},
                                              {"book.obj", "0", 4},
                                              {"flat.obj", "1", 2}}) {
        const ToolRun tiny =
            gradix({"simplify", dir.path(file), "-o", dir.path("tiny.glb"), "--percent", percent});
        ASSERT_EQ(tiny.status, 0) << tiny.err;
        EXPECT_EQ(triangleCount(readMeshes(dir.path("tiny.glb"))), kept) << file;
    }
}

TEST(ErrorTarget, ResultsMeasureWithinTheirBound) {
    ScratchDir dir;
    for (const std::string bound : {"0.3%", "1.5%", "0.05"}) {
        const std::string out = dir.path("max.glb");
        const ToolRun run = gradix({"--json", "simplify", kSample, "-o", out, "--max-error", bound});
        ASSERT_EQ(run.status, 0) << run.err;
        const double limit =
            bound.back() == '%' ? std::stod(bound) : 100.0 * 0.05 / jsonNumber(run.out, "diagonal");
        EXPECT_LE(comparedPercent(kSample, out), limit + 1e-9) << bound;
        EXPECT_LT(triangleCount(readMeshes(out)), 3840u) << bound;
    }
    const ToolRun lods = gradix({"lods", kSample, "-o", dir.path("chain"), "--errors", "0.1%,2%,0.5%"});
    ASSERT_EQ(lods.status, 0) << lods.err;
    uint64_t previous = UINT64_MAX;
    for (const std::string bound : {"0.1", "0.5", "2"}) {
        const std::string file = dir.path("chain/sample_err" + bound + "pc.glb");
        EXPECT_LE(comparedPercent(kSample, file), std::stod(bound)) << file;
        const uint64_t triangles = triangleCount(readMeshes(file));
        EXPECT_LT(triangles, previous) << file;
        previous = triangles;
    }
}

TEST(ErrorTarget, TargetsAboveTheInputsSizeAreRefusedUnlessAllowed) {
    ScratchDir dir;
    for (const std::vector<std::string>& target :
         {std::vector<std::string>{"--triangles", "5000"}, {"--vertices", "2009"}, {"--max-error", "120%"}}) {
        std::remove(dir.path("big.glb").c_str());
        std::vector<std::string> args = {"simplify", kSample, "-o", dir.path("big.glb")};
        args.insert(args.end(), target.begin(), target.end());
        const ToolRun refused = gradix(args);
        EXPECT_NE(refused.status, 0) << target[0];
        EXPECT_NE(refused.err.find("at or above the input's size"), std::string::npos) << refused.err;
        EXPECT_FALSE(exists(dir.path("big.glb")));
        args.push_back("--allow-larger");
        const ToolRun allowed = gradix(args);
        ASSERT_EQ(allowed.status, 0) << allowed.err;
        EXPECT_EQ(triangleCount(readMeshes(dir.path("big.glb"))), 3840u);
    }
    EXPECT_NE(gradix({"simplify", kSample, "-o", dir.path("x.glb"), "--max-error", "-1%"}).status, 0);
}

} // namespace
