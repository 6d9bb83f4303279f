// ReaderProbe: runs a file reader in a child process. A reader that crashes, aborts, loops or grows
// without bound on a damaged file then costs the child, and the caller gets one outcome to report
// instead of losing the process; what the reader made reaches the caller through the caller's own
// channel (the mesh importer's: ImportTransfer, through a memory file the child inherits).
//
//   const ProbeResult probe = probeReader([&] { return readAndSend(path, fd); }, 4ull << 30, 600.0);
//   if (probe.outcome == ProbeOutcome::Finished) { ... take what the child sent ... }
//
// `read` runs in the child with standard error closed and SIGINT/SIGTERM/SIGHUP at their defaults;
// its return value is the child's exit status (0 when it ended, kProbeOutOfMemory when it ran out
// of its memory budget). The child dies with the parent. Memory is watched from outside as well:
// the child is stopped when its resident size grows more than `maxMemory` above the caller's own,
// which holds however the program's allocation functions are replaced (sanitizers).
#pragma once

#include <cstdint>
#include <functional>

namespace gxhost {

enum class ProbeOutcome {
    Finished,    // the reader returned (with or without a scene)
    Crashed,     // it ended by a signal or an unexpected status; `signal` says which, when one
    OutOfMemory, // it asked for more than the budget
    TimedOut,    // it was still running after the time limit
    Unavailable, // no child process could be made: the caller reads in-process
};

struct ProbeResult {
    ProbeOutcome outcome = ProbeOutcome::Unavailable;
    int signal = 0;
};

constexpr int kProbeOutOfMemory = 3;
constexpr int kProbeSanitizerReport = 4; // the child's status when a sanitizer stopped it

ProbeResult probeReader(const std::function<int()>& read, uint64_t maxMemory, double seconds);

} // namespace gxhost
