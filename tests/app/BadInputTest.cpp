// Broken input, wrong options and unwritable outputs: one line on standard error naming the file,
// a non-zero exit status, and no output file.
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace apptest;

namespace {

const std::string kSample = GRADIX_SAMPLE;
const std::string kModels = GX_ASSIMP_MODELS;

void expectOneLineFailure(const ToolRun& run, const std::string& named, int status = 1) {
    EXPECT_EQ(run.status, status) << run.err;
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

TEST(BadInput, WrongOptionsAreUsageErrors) {
    ScratchDir dir;
    const std::string out = dir.path("out.glb");
    expectOneLineFailure(gradix({"simplify", kSample, "-o", out, "--percent", "150"}), "--percent", 2);
    expectOneLineFailure(gradix({"simplify", kSample, "-o", out, "--percent", "5", "--triangles", "9"}),
                         "excludes", 2);
    expectOneLineFailure(gradix({"simplify", kSample, "-o", out, "--placement", "middle"}), "--placement", 2);
    expectOneLineFailure(gradix({"simplify", kSample, "-o", out}), "--percent", 2);
    expectOneLineFailure(gradix({"simplify", dir.path("missing.glb"), "-o", out, "--percent", "5"}),
                         "missing.glb", 2);
    expectOneLineFailure(gradix({"render", kSample, "-o", dir.path("x.png"), "--size", "20x"}), "--size", 2);
    expectOneLineFailure(gradix({"frobnicate"}), "frobnicate", 2);
    EXPECT_TRUE(dir.files().empty());
}

TEST(BadInput, UnwritableOrUnknownOutputsAreNamed) {
    ScratchDir dir;
    expectOneLineFailure(gradix({"simplify", kSample, "-o", dir.path("out.xyz"), "--percent", "50"}),
                         "out.xyz");
    expectOneLineFailure(
        gradix({"simplify", kSample, "-o", dir.path("no/such/dir/out.glb"), "--percent", "50"}),
        "no/such/dir/out.glb");
    writeText(dir.path("file"), "x");
    expectOneLineFailure(gradix({"lods", kSample, "-o", dir.path("file/lods")}), "file/lods");
    expectOneLineFailure(gradix({"--plugin", dir.path("nope.so"), "simplify", kSample, "-o",
                                 dir.path("o.glb"), "--percent", "5"}),
                         "nope.so");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"file"});
}

TEST(BadInput, WeightsThatDoNotFitAreRefused) {
    ScratchDir dir;
    writeText(dir.path("short.txt"), "0.5\n1\n");
    writeText(dir.path("word.txt"), "0.5\nheavy\n");
    const std::string out = dir.path("out.glb");
    expectOneLineFailure(
        gradix({"simplify", kSample, "-o", out, "--percent", "50", "--weights", dir.path("short.txt")}),
        "2 weights for 2009 vertices");
    expectOneLineFailure(
        gradix({"simplify", kSample, "-o", out, "--percent", "50", "--weights", dir.path("word.txt")}),
        "word.txt:2");
    EXPECT_FALSE(exists(out));
}
