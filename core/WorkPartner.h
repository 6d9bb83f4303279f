// WorkPartner: a second thread for work split into two halves a few microseconds long, too short
// for a task scheduler's start-up. The partner waits for work by spinning, then yielding, then (after
// about a millisecond without work) sleeping, so an idle engine costs no CPU.
//
//   WorkPartner partner;
//   partner.share([&] { secondHalf(); }, [&] { firstHalf(); });   // both done on return
//   auto job = [&] { background(); };
//   partner.start(job); ...; partner.join();                       // job must outlive join()
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

namespace gdx {

class WorkPartner {
public:
    WorkPartner();
    ~WorkPartner();
    WorkPartner(const WorkPartner&) = delete;
    WorkPartner& operator=(const WorkPartner&) = delete;

    // Runs `theirs` on the partner thread and `ours` on the calling thread; returns when both are
    // done. An exception from either is passed on (the partner's first).
    template <typename Theirs, typename Ours> void share(Theirs&& theirs, Ours&& ours) {
        start(theirs);
        try {
            ours();
        } catch (...) {
            join();
            throw;
        }
        join();
    }

    // Starts `job` on the partner thread and returns at once; join() waits for it (and passes its
    // exception on). One job at a time: join() before the next start() and before `job` ends.
    template <typename Job> void start(Job& job) {
        post([](void* j) { (*static_cast<Job*>(j))(); }, &job);
    }
    void join();

private:
    void post(void (*run)(void*), void* job);
    void loop();

    void (*run_)(void*) = nullptr;
    void* job_ = nullptr;
    std::exception_ptr failure_;
    // Written by the caller (posted_) and by the partner (done_) on cache lines of their own, so
    // that the one spinning on a counter does not slow the other's writes.
    alignas(64) std::atomic<uint64_t> posted_{0};
    std::atomic<bool> stopping_{false};
    alignas(64) std::atomic<uint64_t> done_{0};
    std::atomic<bool> sleeping_{false};
    alignas(64) std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
};

} // namespace gdx
