// The command line's own texts: the version, "did you mean" for typos, clear messages for unknown
// picture formats, JSON errors under --json, no warning for attributes a file simply lacks, and help
// texts an artist can read.
// Broken input through every subcommand: one line on standard error naming the file, exit status 1,
// and no output file.
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace apptest;

TEST(Cli, MessagesForTyposFormatsAndJson) {
    ScratchDir dir;
    const std::string sample = GRADIX_SAMPLE;
    writeText(dir.path("plain.obj"), "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err; // expected parts ("" = none expected; "-" = must be empty)
    } cases[] = {
        {{"--version"}, 0, "gradix 0.1.0", "-"},
        {{"simplfy", sample}, 2, "-", "'simplfy' is not a subcommand (did you mean 'simplify'?)"},
        {{"simplify", "--precent", "5", sample, "-o", dir.path("a.glb")},
         2,
         "-",
         "unknown option --precent (did you mean --percent?)"},
        {{"render", sample, "-o", dir.path("a.gif")},
         2,
         "-",
         "a.gif: pictures are written as .png, .jpg or .jpeg"},
        {{"--json", "render", sample, "-o", dir.path("a.gif")}, 2, "{\"error\":", "pictures are written as"},
        {{"--json", "lods", dir.path("missing.glb"), "-o", dir.path("l")}, 2, "\"status\":2}", "missing.glb"},
        {{"simplify", dir.path("plain.obj"), "-o", dir.path("p.obj"), "--percent", "50"}, 0, "reached", "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[0] + " " + c.args[1] : c.args[0]);
        const ToolRun run = gradix(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const auto& [expected, actual] : {std::pair{c.out, run.out}, std::pair{c.err, run.err}}) {
            if (expected == "-")
                EXPECT_EQ(actual, "");
            else
                EXPECT_NE(actual.find(expected), std::string::npos) << actual;
        }
    }
}

TEST(Cli, HelpShowsNoParserNotationAndAnExample) {
    const std::string buildDir = std::filesystem::path(GRADIX_TOOL).parent_path().parent_path().string();
    for (const std::string command : {"simplify", "lods", "render", "run", "info", "batch", "compare"}) {
        SCOPED_TRACE(command);
        const ToolRun run = gradix({command, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Example:\n  gradix " + command), std::string::npos) << run.out;
        for (const char* internal : {"INT", "FLOAT", "{", "VALUE", "->", "Excludes", buildDir.c_str()})
            EXPECT_EQ(run.out.find(internal), std::string::npos) << internal << " in\n" << run.out;
    }
}

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
