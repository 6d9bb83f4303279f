// The command line's own texts: the version, "did you mean" for typos, clear messages for unknown
// picture formats, JSON errors under --json, and no warning for attributes a file simply lacks.
#include "ToolRun.h"

#include <gtest/gtest.h>

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
        {{"simplify", sample, "-o", dir.path("a.glb"), "--precent", "5"}, 2, "-",
         "unknown option --precent (did you mean --percent?)"},
        {{"render", sample, "-o", dir.path("a.gif")}, 2, "-", "a.gif: pictures are written as .png, .jpg or .jpeg"},
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
