#include "Progress.h"

#include <gxhost/Host.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace gradix {
namespace {

constexpr std::chrono::milliseconds kDelay(1000);
constexpr std::chrono::milliseconds kTick(250);
// Without a terminal, a plain line every few seconds.
constexpr std::chrono::milliseconds kPlainTick(3000);

std::string duration(double seconds) {
    char text[32];
    if (seconds < 60.0)
        std::snprintf(text, sizeof text, "%.0f s", std::ceil(seconds));
    else
        std::snprintf(text, sizeof text, "%d min %02d s", int(seconds) / 60, int(seconds) % 60);
    return text;
}

} // namespace

Progress::Progress(bool enabled)
    : enabled_(enabled), terminal_(isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {
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
    if (shown_ && terminal_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

std::string Progress::share(double fraction, double seconds) {
    const int width = 20, filled = static_cast<int>(fraction * width + 0.5);
    std::string line = " [" + std::string(filled, '#') + std::string(width - filled, '-') + "] ";
    char percent[16];
    std::snprintf(percent, sizeof percent, "%.0f%%", std::floor(fraction * 100.0));
    line += percent;
    // Contractions grow cheaper to find as the heap shrinks, so a straight line overestimates a little.
    if (fraction >= 0.01 && seconds >= 0.5)
        line += ", ETA " + duration(seconds * (1.0 - fraction) / fraction);
    return line;
}

void Progress::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, kDelay, [this] { return stop_; }))
        return;
    unsigned generation = 0;
    auto computationStart = start_;
    while (!stop_) {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - start_).count();
        std::string line = stage_;
        // The engine's share of the work towards its current target, while it contracts.
        const gxhost::ComputationProgress computing = gxhost::computationProgress();
        if (computing.generation != generation) {
            generation = computing.generation;
            computationStart = now;
        }
        if (computing.active && computing.maxValue > computing.minValue)
            line += share(double(computing.value - computing.minValue) /
                              (computing.maxValue - computing.minValue),
                          std::chrono::duration<double>(now - computationStart).count());
        if (terminal_)
            std::fprintf(stderr, "\r\033[K%s … %.1f s", line.c_str(), seconds);
        else
            std::fprintf(stderr, "%s … %.1f s\n", line.c_str(), seconds);
        std::fflush(stderr);
        shown_ = true;
        wake_.wait_for(lock, terminal_ ? kTick : kPlainTick, [this] { return stop_; });
    }
}

} // namespace gradix
