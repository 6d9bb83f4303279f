// Runs that must be refused or stopped: an output over the input or a file it uses, outputs that
// are not regular files, option values that are not numbers in range, inputs that used to hang,
// signals in the middle of writing, two runs writing one file and an input changed during the run.
// Each refusal is one line with its exit status (before any work, but for the changed input); the
// input stays as it was and no file is left behind.
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace apptest;

namespace {

const std::string kData = GRADIX_TEST_DATA "/hardening/";

// Starts the tool without waiting; its messages go to `log` (nowhere when empty).
pid_t spawn(const std::vector<std::string>& args, const std::string& log = "") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        const int messages = log.empty() ? null : open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(null, STDOUT_FILENO);
        dup2(messages, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(GRADIX_TOOL)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(GRADIX_TOOL, argv.data());
        _exit(127);
    }
    return pid;
}

// Waits for a spawned run; one still going after `seconds` is killed and fails the test with its
// messages, so that a run that hangs shows where it was rather than the suite timing out.
int finish(pid_t pid, const std::string& log = "", int seconds = 240) {
    int status = 0;
    for (int waited = 0; waited < seconds * 20; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the run did not end within " << seconds << " s; its messages:\n"
                  << (log.empty() ? "" : readBytes(log));
    return status;
}

} // namespace

TEST(Hardening, RefusedRunsLeaveTheInputAndTheFolderAsTheyWere) {
    ScratchDir dir;
    ASSERT_EQ(mkdir(dir.path("refs").c_str(), 0755), 0);
    for (const char* file :
         {"pyramid.obj", "pyramid.mtl", "noendheader.ply", "truncated.ply", "keys.3ds", "grow.dae",
          "truncated_binary.x", "badcrc.3mf", "weightless.md5mesh", "grow.x", "refs/in.gltf", "outside.bin",
          "cast_enum.mel", "cast_int.mel", "cast_count.mel"})
        writeText(dir.path(file), readBytes(kData + file));
    const std::string in = dir.path("pyramid.obj");
    ASSERT_EQ(link(in.c_str(), dir.path("alias.obj").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.path("fifo").c_str(), 0644), 0);
    writeText(dir.path("tex.png"), "the material's texture");
    writeText(dir.path("short.txt"), "0.5\n1\n");
    writeText(dir.path("word.txt"), "0.5\nheavy\n");
    const std::vector<std::string> before = dir.files();
    const std::string original = readBytes(in), material = readBytes(dir.path("pyramid.mtl"));

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string named;
    };
    const std::string out = dir.path("out.glb");
    const std::vector<Case> cases = {
        {{"simplify", in, "-o", in, "--percent", "50"}, 1, "the input"},
        {{"simplify", in, "-o", dir.dir() + "/./pyramid.obj", "--percent", "50"}, 1, "the input"},
        {{"simplify", in, "-o", dir.path("alias.obj"), "--percent", "50"}, 1, "the input"},
        {{"simplify", in, "-o", dir.path("pyramid.mtl"), "--format", "obj", "--percent", "50"}, 1, "uses"},
        {{"render", in, "-o", dir.path("tex.png")}, 1, "uses"},
        {{"lods", in, "-o", in}, 1, "not a folder"},
        {{"simplify", in, "-o", "/dev/null", "--format", "obj", "--percent", "50"}, 1, "a device"},
        {{"simplify", in, "-o", dir.path("fifo"), "--format", "obj", "--percent", "50"}, 1, "a FIFO"},
        {{"simplify", in, "-o", dir.dir(), "--format", "obj", "--percent", "50"}, 1, "a folder"},
        {{"simplify", in, "-o", out, "--percent", "nan"}, 2, "--percent"},
        {{"simplify", in, "-o", out, "--percent", "inf"}, 2, "--percent"},
        {{"simplify", in, "-o", out, "--percent", "-1"}, 2, "--percent"},
        {{"simplify", in, "-o", out, "--triangles", "99999999999999999999999"}, 2, "--triangles"},
        {{"simplify", in, "-o", out, "--triangles", "0"}, 2, "--triangles"},
        {{"simplify", in, "-o", out, "--vertices", "-3"}, 2, "--vertices"},
        {{"simplify", in, "-o", out, "--percent", "5", "--lambda-uvs", "nan"}, 2, "--lambda-uvs"},
        {{"render", in, "-o", dir.path("o.png"), "--size", "4294967312x16"}, 2, "--size"},
        {{"render", in, "-o", dir.path("o.png"), "--size", "0x0"}, 2, "--size"},
        {{"render", in, "-o", dir.path("o.png"), "--range", "nan"}, 2, "--range"},
        {{"lods", in, "-o", dir.path("levels"), "--levels", "50,nan"}, 2, "--levels"},
        {{"simplify", in, "-o", out, "--percent", "50", "--weights", "/dev/zero"}, 1, "/dev/zero"},
        {{"info", dir.path("noendheader.ply")}, 1, "end_header"},
        {{"info", dir.path("truncated.ply")}, 1, "truncated.ply"},
        {{"info", dir.path("truncated_binary.x")}, 1, "end of file"},
        {{"info", dir.path("badcrc.3mf")}, 1, "'3D/3dmodel.model' does not match its checksum"},
        // Readers that crash or run on: met in a child process, so the tool still answers.
        {{"info", dir.path("weightless.md5mesh")}, 1, "the reader crashed on it"},
        {{"--read-timeout", "1", "info", dir.path("grow.x")}, 1, "longer than the import limit of 1 s"},
        {{"--read-timeout", "inf", "info", in}, 2, "--read-timeout"},
        // Readers that size arrays from a declared count: 12.9 GB of animation keys, 8 GB of floats.
        // The limit counts through the program's operator new, which the address sanitizer
        // replaces with its own: there the reader's own refusal is the one line.
        {{"info", dir.path("keys.3ds")}, 1, GRADIX_SANITIZED ? "keys.3ds" : "import limit of 4096 MiB"},
        {{"info", dir.path("grow.dae")}, 1, GRADIX_SANITIZED ? "grow.dae" : "import limit"},
        {{"--max-memory", "0", "info", in}, 2, "--max-memory"},
        {{"--max-memory", "nanG", "info", in}, 2, "--max-memory"},
        {{"info", dir.path("refs/in.gltf")}, 1, "outside the input's folder"},
        {{"simplify", dir.path("refs/in.gltf"), "-o", out, "--percent", "50"}, 1, "--allow-outside-refs"},
        {{"run", dir.path("cast_enum.mel")}, 1, "'1e10' is not a value"},
        {{"run", dir.path("cast_int.mel")}, 1, "not a 32-bit integer"},
        {{"run", dir.path("cast_count.mel")}, 1, "value count"},
        {{"simplify", in, "-o", out, "--percent", "150"}, 2, "--percent"},
        {{"simplify", in, "-o", out, "--percent", "5", "--triangles", "9"}, 2, "excludes"},
        {{"simplify", in, "-o", out, "--placement", "middle"}, 2, "--placement"},
        {{"simplify", in, "-o", out}, 2, "--percent"},
        {{"simplify", dir.path("missing.glb"), "-o", out, "--percent", "5"}, 2, "missing.glb"},
        {{"render", in, "-o", dir.path("x.png"), "--size", "20x"}, 2, "--size"},
        {{"frobnicate"}, 2, "frobnicate"},
        {{"simplify", in, "-o", dir.path("out.xyz"), "--percent", "50"}, 1, "out.xyz"},
        {{"simplify", in, "-o", dir.path("no/such/dir/out.glb"), "--percent", "50"},
         1,
         "no/such/dir/out.glb"},
        {{"lods", in, "-o", in + "/lods"}, 1, "pyramid.obj/lods"},
        {{"--plugin", dir.path("nope.so"), "simplify", in, "-o", out, "--percent", "5"}, 1, "nope.so"},
        {{"simplify", GRADIX_SAMPLE, "-o", out, "--percent", "50", "--weights", dir.path("short.txt")},
         1,
         "2 weights for 2009 vertices"},
        {{"simplify", GRADIX_SAMPLE, "-o", out, "--percent", "50", "--weights", dir.path("word.txt")},
         1,
         "word.txt:2"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args)
            line += arg + " ";
        SCOPED_TRACE(line);
        const ToolRun run = gradix(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        const auto lines = run.errLines();
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_EQ(lines[0].rfind("gradix: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(c.named), std::string::npos) << lines[0];
        // A script prints the results of its lines before the failing one.
        EXPECT_TRUE(c.args[0] == "run" || run.out.empty()) << run.out;
        EXPECT_EQ(dir.files(), before);
        EXPECT_EQ(readBytes(in), original);
        EXPECT_EQ(readBytes(dir.path("pyramid.mtl")), material);
    }
}

// A signal at any moment: the run either finished or exits with 128 + the signal, and in that case
// nothing it made is left, neither files nor the folders it created, and a level file of an earlier
// run in the folder is as it was.
TEST(Hardening, StoppedRunsLeaveNothing) {
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    int stopped = 0;
    for (int round = 0; round < 6; ++round) {
        ScratchDir dir;
        const int signal = signals[round % 3];
        const bool earlier = round % 2 == 1;
        const std::string folder = dir.path(earlier ? "levels" : "new/levels");
        if (earlier) {
            mkdir(folder.c_str(), 0755);
            writeText(folder + "/sample_lod50.gltf", "an earlier run's level");
        }
        const pid_t pid = spawn(
            {"lods", GRADIX_SAMPLE, "-o", folder, "--levels", "90,70,50,30,20,10,5,2,1", "--format", "gltf"});
        std::this_thread::sleep_for(std::chrono::milliseconds(150 + 150 * round));
        kill(pid, signal);
        const int status = finish(pid);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            continue;
        ++stopped;
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        }
        // Stopped after the levels were moved into place, the run has finished its work.
        const std::vector<std::string> left = dir.files();
        const size_t files = left.size();
        if (std::count_if(left.begin(), left.end(), [](const std::string& f) {
                return f.size() > 5 && f.compare(f.size() - 5, 5, ".gltf") == 0;
            }) == 9)
            continue;
        if (earlier) {
            EXPECT_EQ(dir.files(), std::vector<std::string>{"levels/sample_lod50.gltf"}) << "round " << round;
            EXPECT_EQ(readBytes(folder + "/sample_lod50.gltf"), "an earlier run's level");
        } else {
            EXPECT_EQ(files, 0u) << "round " << round;
            struct stat info {};
            EXPECT_NE(stat(dir.path("new").c_str(), &info), 0);
        }
    }
    EXPECT_GT(stopped, 0);
}

// Two runs writing one file at once: the last rename wins and the file is always whole.
TEST(Hardening, ConcurrentRunsToOneFileEachWriteAWholeFile) {
    ScratchDir dir, logs;
    const std::string png = dir.path("same.png"), mesh = dir.path("same.glb");
    const std::vector<std::vector<std::string>> runs{
        {"render", GRADIX_SAMPLE, "-o", png, "--size", "64x48"},
        {"render", GRADIX_SAMPLE, "-o", png, "--size", "48x64", "--percent", "20"},
        {"simplify", GRADIX_SAMPLE, "-o", mesh, "--percent", "50"},
        {"simplify", GRADIX_SAMPLE, "-o", mesh, "--percent", "20"}};
    for (int round = 0; round < 3; ++round) {
        std::vector<pid_t> pids;
        for (size_t i = 0; i < runs.size(); ++i)
            pids.push_back(spawn(runs[i], logs.path(std::to_string(i))));
        for (size_t i = 0; i < runs.size(); ++i) {
            const int status = finish(pids[i], logs.path(std::to_string(i)));
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << runs[i][0] << " " << runs[i].back() << ": status " << status << "\n"
                << readBytes(logs.path(std::to_string(i)));
        }
        Image image;
        ASSERT_TRUE(readPng(png, image));
        EXPECT_EQ(image.width * image.height, 64 * 48);
        EXPECT_GT(triangleCount(readMeshes(mesh)), 0u);
        EXPECT_EQ(dir.files(), (std::vector<std::string>{"same.glb", "same.png"}));
    }
}

// A glTF input rewritten while the tool simplifies it (after it was read, before the result is
// written from it) is refused at writing: one line, a failing status and no output. The run reads
// the input in its first second, so the file is changed once its progress shows the simplification
// (on one core: in halves the run could end before a change made then).
TEST(Hardening, AGltfInputChangedDuringTheRunIsRefused) {
    ScratchDir dir;
    const std::string in = dir.path("big.gltf"), out = dir.path("out.gltf"), log = dir.path("log.txt");
    ASSERT_EQ(runProgram(GRADIX_MAKE_SAMPLE, {in, "400", "400"}).status, 0);
    const pid_t pid = spawn({"--progress", "simplify", in, "-o", out, "--percent", "10", "--no-halves"}, log);
    bool changed = false;
    for (int wait = 0; wait < 600 && !changed; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            GTEST_SKIP() << "the run ended before it showed its progress";
        if (readBytes(log).find("simplifying to 10%") != std::string::npos) {
            std::string json = readBytes(in);
            const size_t at = json.find("\"generator\"");
            ASSERT_NE(at, std::string::npos);
            json.insert(at, "\"copyright\": \"changed during the run\", ");
            writeText(in, json);
            changed = true;
        }
    }
    const int status = finish(pid, log);
    ASSERT_TRUE(changed);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
    EXPECT_NE(readBytes(log).find(in + ": the file changed while it was being simplified"), std::string::npos)
        << readBytes(log);
    EXPECT_FALSE(exists(out));
    EXPECT_FALSE(exists(dir.path("out.bin")));
}
