// The UV node on its own, and the simplification record data type.
#include "NodesFixture.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnPluginData.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

using namespace gxhost;

namespace {
// Runs `body` with standard output sent to a file, and returns what was printed.
template <typename F> std::string capturedStdout(F body) {
    std::fflush(stdout);
    std::cout.flush();
    char path[] = "/tmp/gradix-stdout-XXXXXX";
    const int fd = mkstemp(path);
    const int saved = dup(1);
    dup2(fd, 1);
    body();
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(fd);
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path);
    return text;
}
} // namespace

class EditUVs : public NodesFixture {};

TEST_F(EditUVs, OneSetPassesThroughUnchanged) {
    createMeshNode(grid(3, 1));
    createNode("EditUVs", "ed");
    ASSERT_TRUE(connect("src.outMesh", "ed.inMesh"));
    MDoubleArray none;
    ASSERT_TRUE(setAttr("ed.inUVs", MFnDoubleArrayData().create(none)));
    ASSERT_TRUE(setAttr("ed.inUVids", MFnIntArrayData().create(MIntArray())));
    SceneMesh in, out;
    ASSERT_TRUE(meshToScene(findNode("src"), in));
    ASSERT_TRUE(meshToScene(meshAt("ed.outMesh"), out));
    ASSERT_EQ(out.uvSets.size(), 1u);
    EXPECT_EQ(out.uvSets[0].u, in.uvSets[0].u);
    EXPECT_EQ(out.faceVertices, in.faceVertices);
}

// 2 x 2 quads triangulated by a main node: 9 wedges, so 18 values per set. A list of another length
// is reported on standard output; the sets it reaches are written, the others left, and nothing fails.
TEST_F(EditUVs, ListsOfTheWrongLengthAreReportedAndFillTheSetsTheyReach) {
    const struct {
        uint32_t sets, values;
        const char* printed;
    } cases[] = {{2, 30, "Expected:18Found:30\n"}, {3, 18, ""}};
    for (const auto& c : cases) {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GX_NODES_PLUGIN));
        buildGraph(grid(2, c.sets));
        ASSERT_TRUE(disconnect("gx.outUVs", "ed.inUVs"));
        ASSERT_TRUE(setAttr("ed.inUVs", MFnDoubleArrayData().create(MDoubleArray(c.values, 0.25))));
        SceneMesh out;
        const std::string printed =
            capturedStdout([&] { ASSERT_TRUE(meshToScene(meshAt("ed.outMesh"), out)); });
        EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
        ASSERT_EQ(out.uvSets.size(), c.sets);
        EXPECT_EQ(out.uvSets[1].u[0], 0.25f);
        if (c.sets == 3) {
            EXPECT_TRUE(out.uvSets[2].u.empty());
        }
    }
}

TEST_F(EditUVs, SimplificationRecordBorrowsAndCannotBeSaved) {
    buildGraph(grid(2, 1));
    MFnPluginData fn;
    MObject fresh = fn.create(MTypeId(0x001057C1));
    const SlimInfoAttribute* empty = static_cast<const SlimInfoAttribute*>(fn.data());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->model, nullptr);
    EXPECT_EQ(empty->engine, nullptr);

    const SlimInfoAttribute* info = slimInfo();
    ASSERT_TRUE(info && info->model && info->engine);
    MFnPluginData copyFn;
    copyFn.create(MTypeId(0x001057C1));
    copyFn.data()->copy(*info);
    const SlimInfoAttribute* copy = static_cast<const SlimInfoAttribute*>(copyFn.data());
    EXPECT_EQ(copy->model, info->model);
    EXPECT_EQ(copy->engine, info->engine);

    MObject data;
    ASSERT_TRUE(getAttr("gx.outSlimInfo", data));
    std::string text = "untouched";
    EXPECT_FALSE(writeDataASCII(data, text));
    EXPECT_TRUE(text.empty() || text == "untouched");
}
