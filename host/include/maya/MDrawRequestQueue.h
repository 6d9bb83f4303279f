// MDrawRequestQueue: the draw requests a shape queues during getDrawRequests, drawn in order.
#pragma once

#include <maya/MDrawRequest.h>

#include <deque>

class MDrawRequestQueue {
public:
    bool isEmpty() const { return q_.empty(); }
    void add(MDrawRequest& request) { q_.push_back(request); }
    MDrawRequest remove() {
        MDrawRequest r = q_.front();
        q_.pop_front();
        return r;
    }
    unsigned int length() const { return static_cast<unsigned int>(q_.size()); }

private:
    std::deque<MDrawRequest> q_;
};
