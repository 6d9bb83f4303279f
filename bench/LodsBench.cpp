// LodsBench: the whole gradix process, timed. On a generated 1,000,000-triangle terrain it runs
//   gradix lods MESH -o DIR --levels 50,25,10,5,1      and      gradix simplify MESH -o OUT --percent 1
// and prints both wall-clock times and their ratio. A chain reuses one engine, so its cost over a
// single deep simplification is only the extra meshes it writes; the aim is a ratio below 1.3.
//
// Usage: lods_bench [QUADS_X QUADS_Y] [REPEATS]   (default 1000 x 500 quads, 1 repeat; the best
// time of the repeats counts)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Times {
    double wall = -1.0; // negative when the run failed
    double cpu = 0.0;   // user + system time of the child
};

// Runs `program` with `args`, output discarded. CPU time is given besides wall-clock time because
// on a shared machine it varies far less.
Times timed(const std::string& program, const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout); // nothing buffered may be written twice by the child
    const pid_t pid = fork();
    if (pid == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr)
            _exit(126);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Times times;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        times.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    times.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    return times;
}

} // namespace

int main(int argc, char** argv) {
    const std::string nx = argc >= 3 ? argv[1] : "1000", nz = argc >= 3 ? argv[2] : "500";
    const int repeats = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 1;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "gradix-lods-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string mesh = (dir / "terrain.glb").string();

    std::printf("generating %s x %s quads ...\n", nx.c_str(), nz.c_str());
    if (timed(GRADIX_MAKE_SAMPLE, {mesh, nx, nz}).wall < 0) {
        std::fprintf(stderr, "lods_bench: cannot generate %s\n", mesh.c_str());
        return 1;
    }
    Times lods{1e30, 1e30}, simplify{1e30, 1e30};
    for (int r = 0; r < repeats; ++r) {
        // Materials are left out of both: carrying them compares every result face with every source face.
        const Times a = timed(GRADIX_TOOL, {"--quiet", "lods", mesh, "-o", (dir / "chain").string(),
                                            "--levels", "50,25,10,5,1", "--no-materials"});
        const Times b = timed(GRADIX_TOOL, {"--quiet", "simplify", mesh, "-o", (dir / "one.glb").string(),
                                            "--percent", "1", "--no-materials"});
        if (a.wall < 0 || b.wall < 0) {
            std::fprintf(stderr, "lods_bench: a gradix run failed\n");
            return 1;
        }
        lods = {std::min(lods.wall, a.wall), std::min(lods.cpu, a.cpu)};
        simplify = {std::min(simplify.wall, b.wall), std::min(simplify.cpu, b.cpu)};
        std::printf("run %d: lods %.2f s (cpu %.2f s), simplify --percent 1 %.2f s (cpu %.2f s)\n", r + 1,
                    a.wall, a.cpu, b.wall, b.cpu);
    }
    std::printf("best: lods 50,25,10,5,1 %.2f s, simplify --percent 1 %.2f s: ratio %.3f wall, %.3f cpu\n",
                lods.wall, simplify.wall, lods.wall / simplify.wall, lods.cpu / simplify.cpu);
    std::filesystem::remove_all(dir);
    return 0;
}
