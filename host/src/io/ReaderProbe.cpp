#include "ReaderProbe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

// Set when the program runs under a sanitizer: what it calls before it ends the process on a report.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace gxhost {
namespace {

// Resident bytes of a process, 0 when unknown.
uint64_t residentBytes(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid));
    FILE* file = std::fopen(path, "r");
    if (!file)
        return 0;
    unsigned long long pages = 0, resident = 0;
    const int read = std::fscanf(file, "%llu %llu", &pages, &resident);
    std::fclose(file);
    return read == 2 ? resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// A file descriptor closed when it goes out of scope (-1: none).
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
};

[[noreturn]] void runChild(const std::function<int()>& read) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent's handlers are not the child's business: a stop signal ends it, and a fault kills
    // it with that signal (no crash report, no fuzzer artifact written by a handler it inherited).
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        signal(sig, SIG_DFL);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback([] { _exit(kProbeSanitizerReport); });
    // The parent reports what happened in one line; the reader's own last words are not wanted.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0)
        dup2(null, STDERR_FILENO);
    int status = 1;
    try {
        status = read();
    } catch (...) {
        status = 1; // an exception `read` let through: the caller finds nothing sent
    }
    _exit(status);
}

} // namespace

ProbeResult probeReader(const std::function<int()>& read, uint64_t maxMemory, double seconds) {
    const uint64_t baseline = residentBytes(getpid());
    std::fflush(nullptr); // nothing buffered may be written twice
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0)
        runChild(read);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    // The child's memory is looked at every 10 ms; its end wakes the wait at once where the kernel
    // gives a descriptor for the process (Linux 5.3), else the wait sleeps 0.2 ms, doubling to 10.
#ifdef SYS_pidfd_open
    const Descriptor childEnd{int(syscall(SYS_pidfd_open, child, 0))};
#else
    const Descriptor childEnd{-1};
#endif
    auto pause = std::chrono::microseconds(200);
    ProbeResult result;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (result.outcome != ProbeOutcome::Unavailable)
                return result; // stopped by us below
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return {ProbeOutcome::Finished, 0};
            if (WIFEXITED(status) && WEXITSTATUS(status) == kProbeOutOfMemory)
                return {ProbeOutcome::OutOfMemory, 0};
            return {ProbeOutcome::Crashed, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
        }
        if (done < 0)
            return {ProbeOutcome::Crashed, 0};
        if (result.outcome == ProbeOutcome::Unavailable) {
            const uint64_t resident = residentBytes(child);
            if (resident > baseline && resident - baseline > maxMemory)
                result.outcome = ProbeOutcome::OutOfMemory;
            else if (Clock::now() > deadline)
                result.outcome = ProbeOutcome::TimedOut;
            if (result.outcome != ProbeOutcome::Unavailable)
                kill(child, SIGKILL);
        }
        if (childEnd.fd >= 0) {
            pollfd end{childEnd.fd, POLLIN, 0};
            poll(&end, 1, 10); // readable once the child has ended
            continue;
        }
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(10))
            pause *= 2;
    }
}

} // namespace gxhost
