// Broken input through every subcommand: one line on standard error naming the file, exit status 1,
// and no output file.
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace apptest;

namespace {

const std::string kModels = GX_ASSIMP_MODELS;

void expectOneLineFailure(const ToolRun& run, const std::string& named) {
    EXPECT_EQ(run.status, 1) << run.err;
    const auto lines = run.errLines();
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].rfind("gradix: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
    EXPECT_TRUE(run.out.empty()) << run.out;
}

} // namespace

TEST(BadInput, BrokenFilesGiveOneLineAndNoOutput) {
    ScratchDir dir;
    writeText(dir.path("garbage.obj"), std::string("\x01\x02 not a mesh", 13));
    writeText(dir.path("outofrange.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
    writeText(dir.path("nofaces.obj"), "v 0 0 0\nv 1 0 0\n");
    writeText(dir.path("hugeheader.ply"),
              "ply\nformat ascii 1.0\nelement vertex 2000000000\nproperty float x\nproperty float y\n"
              "property float z\nend_header\n0 0 0\n");
    std::vector<std::string> inputs = {dir.path("garbage.obj"), dir.path("outofrange.obj"),
                                       dir.path("nofaces.obj"), dir.path("hugeheader.ply")};
    if (exists(kModels + "/OFF/invalid.off"))
        inputs.push_back(kModels + "/OFF/invalid.off");
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::string out = dir.path("out.glb"), folder = dir.path("lods"), png = dir.path("out.png");
        expectOneLineFailure(gradix({"simplify", input, "-o", out, "--percent", "50"}), input);
        expectOneLineFailure(gradix({"lods", input, "-o", folder, "--levels", "50,10"}), input);
        expectOneLineFailure(gradix({"render", input, "-o", png}), input);
        expectOneLineFailure(gradix({"info", input}), input);
        EXPECT_FALSE(exists(out));
        EXPECT_FALSE(exists(folder));
        EXPECT_FALSE(exists(png));
    }
}
