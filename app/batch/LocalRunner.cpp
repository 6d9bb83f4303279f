#include "BatchTask.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gradix {
namespace {

struct Running {
    const BatchTask* task;
    std::string temporary;
    std::chrono::steady_clock::time_point start;
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts the task's process with its standard output and error in files of the temporary folder
// (dot files, so they are not taken for outputs); returns the pid, or -1 with `error`.
pid_t start(const BatchTask& task, std::string& temporary, std::string& error) {
    std::error_code ec;
    fs::create_directories(task.outDir, ec);
    temporary = (fs::path(task.outDir) / (".gradix-tmp." + task.stem + ".local." + std::to_string(getpid()) +
                                          "." + std::to_string(task.index)))
                    .string();
    fs::remove_all(temporary, ec);
    if (!fs::create_directory(temporary, ec)) {
        error = task.outDir + ": cannot make a folder there (" + ec.message() + ")";
        return -1;
    }
    std::vector<std::string> args = task.argv;
    for (std::string& arg : args)
        for (size_t at; (at = arg.find("{TMP}")) != std::string::npos;)
            arg.replace(at, 5, temporary);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = temporary + "/.stdout", err = temporary + "/.stderr";
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The child dies with the coordinator rather than writing on unwatched.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (outFd < 0 || errFd < 0 || nullFd < 0)
            _exit(127);
        dup2(nullFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        execv(argv[0], argv.data());
        const char message[] = "gradix: cannot start the gradix tool\n";
        (void)!write(2, message, sizeof message - 1);
        _exit(127);
    }
    if (pid < 0)
        error = std::string("cannot start a process: ") + std::strerror(errno);
    return pid;
}

BatchResult finish(const Running& run, int status) {
    BatchResult result;
    result.index = run.task->index;
    result.temporary = run.temporary;
    const fs::path temporary(run.temporary);
    result.report = readAll(temporary / ".stdout");
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    result.ok = code == 0;
    if (!result.ok)
        result.reason = reasonFrom(readAll(temporary / ".stderr"), code);
    std::error_code ec;
    if (result.ok) {
        for (const auto& entry : fs::directory_iterator(temporary, ec))
            if (entry.path().filename().string().front() != '.')
                result.files.push_back(entry.path().filename().string());
        std::sort(result.files.begin(), result.files.end());
        for (const std::string& name : result.files)
            fs::rename(temporary / name, fs::path(run.task->outDir) / name, ec);
        if (ec) {
            result.ok = false;
            result.reason = "cannot move the outputs into " + run.task->outDir + ": " + ec.message();
        }
    }
    fs::remove_all(temporary, ec);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.start).count();
    return result;
}

} // namespace

std::string reasonFrom(const std::string& stderrText, int status) {
    std::istringstream lines(stderrText);
    std::string line, last;
    while (std::getline(lines, line))
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            last = line;
    if (last.compare(0, 8, "gradix: ") == 0)
        last.erase(0, 8);
    if (status < 0)
        return "the gradix process died of signal " + std::to_string(-status) + " (" + strsignal(-status) +
               ")" + (last.empty() ? "" : " after: " + last);
    return last.empty() ? "gradix exited with status " + std::to_string(status) : last;
}

void sweepTemporaries(const std::string& folder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename().string().compare(0, 12, ".gradix-tmp.") == 0)
            fs::remove_all(entry.path(), ec);
}

void runLocal(const std::vector<BatchTask>& tasks, unsigned jobs, const ResultSink& sink) {
    std::map<pid_t, Running> running;
    size_t next = 0;
    while (next < tasks.size() || !running.empty()) {
        while (next < tasks.size() && running.size() < std::max(jobs, 1u)) {
            const BatchTask& task = tasks[next++];
            Running run{&task, "", std::chrono::steady_clock::now()};
            std::string error;
            const pid_t pid = start(task, run.temporary, error);
            if (pid > 0) {
                running[pid] = run;
                continue;
            }
            BatchResult failed;
            failed.index = task.index;
            failed.reason = error;
            std::error_code ec;
            fs::remove_all(run.temporary, ec);
            sink(std::move(failed));
        }
        if (running.empty())
            continue;
        int status = 0;
        const pid_t pid = waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        const auto found = running.find(pid);
        if (found == running.end())
            continue;
        const Running run = found->second;
        running.erase(found);
        sink(finish(run, status));
    }
}

} // namespace gradix
