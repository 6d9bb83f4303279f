// SignalCleanup: the files and folders a run has started but not finished, removed when the process
// is stopped by SIGINT, SIGTERM or SIGHUP (it then exits with 128 + the signal number). Writers
// register a path before creating it and release it once it is complete or gone; the handler only
// unlinks and removes folders, which is safe inside a signal handler.
//
// How to use:
//   1. installSignalCleanup() once at start-up (the tool's main does it).
//   2. PendingPath pending(path);   ... create and write `path` ...
//   3. pending.release() once `path` is complete (or let it go after removing the file yourself).
#pragma once

#include <csignal>
#include <string>

namespace gxhost {

void installSignalCleanup();

// A path to remove if a signal stops the process while this object is alive.
class PendingPath {
public:
    PendingPath() = default;
    explicit PendingPath(const std::string& path, bool folder = false);
    ~PendingPath() { release(); }
    PendingPath(PendingPath&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
    PendingPath& operator=(PendingPath&& other) noexcept;
    PendingPath(const PendingPath&) = delete;
    PendingPath& operator=(const PendingPath&) = delete;

    void release();

private:
    int slot_ = -1;
};

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime (they are handled when it ends), for short
// steps that must not be cut in half, such as renaming a set of finished files into place.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t previous_;
};

// mkstemp(pattern) with the new file registered in `pending` before any signal can be handled, so
// no stopped run leaves it behind. Returns the descriptor, or -1 with errno set.
int createPendingTempFile(std::string& pattern, PendingPath& pending);

} // namespace gxhost
