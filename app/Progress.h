// Progress: a one-line activity display on standard error for work that takes more than about a
// second. A ticker thread redraws "<stage> [#####-----] 42%, ETA 6 s … 3.2 s" a few times a second
// once the first second has passed, so short runs print nothing; the line is erased when the work
// ends. Without a terminal (progress forced on) it prints plain lines every few seconds instead. The
// share done is what the plug-in reports of its computation (gxhost::computationProgress, safe from
// any thread); nothing else of the host is touched from the thread.
//
//   Progress progress(enabled);  progress.stage("simplifying 'Sheet'");  ...  progress.finish();
#pragma once

#include "GlobalOptions.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace gradix {

class Progress {
public:
    explicit Progress(bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void stage(const std::string& text);
    // Stops the ticker and erases the line.
    void finish();

    // Whether progress shows: as forced, or else when standard error is a terminal.
    static bool wanted(ProgressMode mode);

    // " [####----] 42%, ETA 6 s": `fraction` done after `seconds`.
    static std::string share(double fraction, double seconds);

private:
    void run();

    bool enabled_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string stage_;
    bool stop_ = false;
    bool shown_ = false;
    std::thread ticker_;
};

} // namespace gradix
