#include "SignalCleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace gxhost {
namespace {

// Each slot holds a heap copy of the path, first byte 'f' (file) or 'd' (folder). Slots are taken
// and emptied with atomic exchanges, so the handler sees either a whole path or none.
constexpr int kSlots = 1024;
std::atomic<char*> slots[kSlots];

void removePending(int) {
    for (int i = 0; i < kSlots; ++i) {
        const char* entry = slots[i].load();
        if (entry && entry[0] == 'f')
            unlink(entry + 1);
    }
    // A folder only goes once it is empty; a few passes remove nested ones in any slot order.
    for (int pass = 0; pass < 8; ++pass) {
        for (int i = kSlots - 1; i >= 0; --i) {
            const char* entry = slots[i].load();
            if (entry && entry[0] == 'd')
                rmdir(entry + 1);
        }
    }
}

void onSignal(int signal) {
    removePending(signal);
    _exit(128 + signal);
}

} // namespace

void installSignalCleanup() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&action.sa_mask, signal);
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

PendingPath::PendingPath(const std::string& path, bool folder) {
    char* entry = static_cast<char*>(std::malloc(path.size() + 2));
    if (!entry)
        return;
    entry[0] = folder ? 'd' : 'f';
    std::memcpy(entry + 1, path.c_str(), path.size() + 1);
    for (int i = 0; i < kSlots; ++i) {
        char* empty = nullptr;
        if (slots[i].compare_exchange_strong(empty, entry)) {
            slot_ = i;
            return;
        }
    }
    std::free(entry); // more pending paths than slots: this one is not cleaned up on a signal
}

PendingPath& PendingPath::operator=(PendingPath&& other) noexcept {
    if (this != &other) {
        release();
        slot_ = other.slot_;
        other.slot_ = -1;
    }
    return *this;
}

SignalBlock::SignalBlock() {
    sigset_t block;
    sigemptyset(&block);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&block, signal);
    }
    pthread_sigmask(SIG_BLOCK, &block, &previous_);
}

SignalBlock::~SignalBlock() {
    const int saved = errno;
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    errno = saved;
}

int createPendingTempFile(std::string& pattern, PendingPath& pending) {
    SignalBlock block;
    const int fd = mkstemp(pattern.data());
    if (fd >= 0)
        pending = PendingPath(pattern);
    return fd;
}

void PendingPath::release() {
    if (slot_ < 0)
        return;
    std::free(slots[slot_].exchange(nullptr));
    slot_ = -1;
}

} // namespace gxhost
