// Progress: a one-line activity display on standard error for work that takes more than about a
// second. A ticker thread redraws "<stage> … 3.2 s" a few times a second once the first second has
// passed, so short runs print nothing; the line is erased when the work ends. Only the stage text is
// shared with the thread; the host is never touched from it.
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

private:
    void run();

    bool enabled_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string stage_;
    bool stop_ = false;
    bool shown_ = false;
    std::thread ticker_;
};

} // namespace gradix
