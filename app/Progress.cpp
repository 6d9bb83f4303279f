#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace gradix {
namespace {

constexpr std::chrono::milliseconds kDelay(1000);
constexpr std::chrono::milliseconds kTick(250);

} // namespace

Progress::Progress(bool enabled) : enabled_(enabled), start_(std::chrono::steady_clock::now()) {
    if (enabled_)
        ticker_ = std::thread(&Progress::run, this);
}

Progress::~Progress() {
    finish();
}

bool Progress::wanted(ProgressMode mode) {
    return mode == ProgressMode::AUTO ? isatty(STDERR_FILENO) == 1 : mode == ProgressMode::ON;
}

void Progress::stage(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    stage_ = text;
}

void Progress::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_)
            return;
        stop_ = true;
    }
    wake_.notify_all();
    if (ticker_.joinable())
        ticker_.join();
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void Progress::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, kDelay, [this] { return stop_; }))
        return;
    while (!stop_) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::fprintf(stderr, "\r\033[K%s … %.1f s", stage_.c_str(), seconds);
        std::fflush(stderr);
        shown_ = true;
        wake_.wait_for(lock, kTick, [this] { return stop_; });
    }
}

} // namespace gradix
