#include "WorkPartner.h"

#include <chrono>

namespace gdx {

namespace {

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// Spins a little, then yields the core: on a machine with more busy threads than cores a spinning
// waiter would hold up the very thread it waits for.
template <typename Ready> void waitBriefly(Ready ready, uint32_t& spins) {
    while (!ready()) {
        if (++spins < 2048)
            relax();
        else
            std::this_thread::yield();
        if ((spins & 1023) == 0)
            return; // the caller decides whether to go on waiting
    }
}

} // namespace

WorkPartner::WorkPartner() : thread_([this] { loop(); }) {}

WorkPartner::~WorkPartner() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
    }
    wake_.notify_one();
    thread_.join();
}

void WorkPartner::post(void (*run)(void*), void* job) {
    run_ = run;
    job_ = job;
    posted_.fetch_add(1); // publishes run_ and job_ with it
    if (sleeping_.load()) {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_.notify_one();
    }
}

void WorkPartner::join() {
    const uint64_t target = posted_.load(std::memory_order_relaxed);
    uint32_t spins = 0;
    while (done_.load(std::memory_order_acquire) != target)
        waitBriefly([&] { return done_.load(std::memory_order_acquire) == target; }, spins);
    if (failure_) {
        std::exception_ptr failure = failure_;
        failure_ = nullptr;
        std::rethrow_exception(failure);
    }
}

void WorkPartner::loop() {
    using Clock = std::chrono::steady_clock;
    uint64_t seen = 0;
    for (;;) {
        uint32_t spins = 0;
        const Clock::time_point idleSince = Clock::now();
        // Sequentially consistent loads: against post()'s increment and look at sleeping_, so that a
        // wake-up is never lost between this check and the partner falling asleep.
        auto ready = [&] { return posted_.load() != seen || stopping_.load(); };
        while (!ready()) {
            waitBriefly(ready, spins);
            if (!ready() && Clock::now() - idleSince > std::chrono::milliseconds(1)) {
                std::unique_lock<std::mutex> lock(mutex_);
                sleeping_.store(true);
                wake_.wait(lock, ready);
                sleeping_.store(false);
            }
        }
        if (stopping_.load())
            return;
        try {
            run_(job_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        seen += 1;
        done_.store(seen, std::memory_order_release);
    }
}

} // namespace gdx
