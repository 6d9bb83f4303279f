#include "BatchTask.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gradix {
namespace {

// The driver script: $GRADIX_DASK_DRIVER, else the one beside the tool's sources or installed data.
std::string driverPath() {
    if (const char* path = std::getenv("GRADIX_DASK_DRIVER"))
        return path;
    std::error_code ec;
    const fs::path installed =
        fs::read_symlink("/proc/self/exe", ec).parent_path() / "../share/gradix/gradix_dask.py";
    if (!ec && fs::exists(installed))
        return installed.lexically_normal().string();
    return GRADIX_DASK_DRIVER;
}

std::string pythonPath() {
    const char* path = std::getenv("GRADIX_PYTHON");
    return path ? path : "/usr/bin/python3";
}

} // namespace

bool runOnDask(const std::vector<BatchTask>& tasks, const std::string& address, const std::string& workFolder,
               const ResultSink& sink, std::string& error) {
    const std::string base = (fs::path(workFolder) / (".gradix-dask." + std::to_string(getpid()))).string();
    const std::string taskFile = base + ".json", logFile = base + ".log";
    {
        nlohmann::json list = nlohmann::json::array();
        for (const BatchTask& task : tasks)
            list.push_back(
                {{"index", task.index}, {"outDir", task.outDir}, {"stem", task.stem}, {"argv", task.argv}});
        std::ofstream out(taskFile);
        out << list.dump();
        if (!out.flush()) {
            error = taskFile + ": cannot write the task list";
            return false;
        }
    }
    std::string python = pythonPath(), driver = driverPath();
    std::string addressArg = address, taskArg = taskFile;
    char* argv[] = {python.data(), driver.data(), addressArg.data(), taskArg.data(), nullptr};
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int logFd = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (logFd < 0 || nullFd < 0)
            _exit(127);
        dup2(nullFd, 0);
        dup2(pipeFds[1], 1);
        dup2(logFd, 2);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execv(argv[0], argv);
        const char message[] = "cannot start the Python interpreter\n";
        (void)!write(2, message, sizeof message - 1);
        _exit(127);
    }
    close(pipeFds[1]);
    std::set<size_t> delivered;
    if (pid > 0) {
        FILE* stream = fdopen(pipeFds[0], "r");
        char* line = nullptr;
        size_t capacity = 0;
        while (getline(&line, &capacity, stream) > 0) {
            const nlohmann::json item = nlohmann::json::parse(line, nullptr, false);
            if (item.is_discarded() || !item.contains("index"))
                continue;
            BatchResult result;
            result.index = item["index"].get<size_t>();
            result.ok = item.value("ok", false);
            result.reason = item.value("reason", "");
            result.report = item.value("report", "");
            result.files = item.value("files", std::vector<std::string>());
            result.temporary = item.value("temporary", "");
            result.seconds = item.value("seconds", 0.0);
            if (delivered.insert(result.index).second)
                sink(std::move(result));
        }
        free(line);
        fclose(stream);
    } else {
        close(pipeFds[0]);
    }
    int status = 0;
    const bool ran =
        pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::ifstream log(logFile);
    std::stringstream logText;
    logText << log.rdbuf();
    std::remove(taskFile.c_str());
    std::remove(logFile.c_str());
    if (ran && delivered.size() == tasks.size())
        return true;
    error = "dask: " + reasonFrom(logText.str(), WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status));
    return false;
}

} // namespace gradix
