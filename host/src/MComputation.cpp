#include <gxhost/Host.h>
#include <maya/MComputation.h>

#include <atomic>

namespace {

// One computation at a time is shown; a new one (a new generation) restarts the application's clock.
std::atomic<int> gMin{0}, gMax{0}, gValue{0};
std::atomic<unsigned> gGeneration{0};
std::atomic<bool> gActive{false};

} // namespace

MComputation::~MComputation() {
    if (begun_)
        endComputation();
}

void MComputation::beginComputation(bool, bool, bool) {
    gMin = 0, gMax = 0, gValue = 0;
    ++gGeneration;
    gActive = true;
    begun_ = true;
}

void MComputation::setProgressRange(const int minValue, const int maxValue) {
    gMin = minValue, gMax = maxValue;
}

void MComputation::setProgress(const int value) {
    gValue = value;
}

int MComputation::progress() const {
    return gValue;
}

int MComputation::progressMin() const {
    return gMin;
}

int MComputation::progressMax() const {
    return gMax;
}

void MComputation::endComputation() {
    gActive = false;
    begun_ = false;
}

namespace gxhost {

ComputationProgress computationProgress() {
    ComputationProgress progress;
    progress.active = gActive;
    progress.generation = gGeneration;
    progress.minValue = gMin;
    progress.maxValue = gMax;
    progress.value = gValue;
    return progress;
}

} // namespace gxhost
