#include "ResolutionChanger.h"

#include <memory>
#include <new>

namespace gdx {

void ResolutionChanger::step() {
    if (finished_)
        return;
    if (fetch(record_) && accept(record_))
        apply(record_);
    else
        finished_ = true;
}

bool ResolutionIncreaser::fetch(PairContraction& record) {
    if (sequence_.empty())
        return false;
    sequence_.back(record);
    return true;
}

void ResolutionIncreaser::apply(const PairContraction& record) {
    engine_.undoContraction(record);
    if (engine_.replaysScrub())
        sequence_.retreat();
    else
        sequence_.pop_back();
}

bool ResolutionIncreaser::accept(const PairContraction& record) {
    const uint32_t cur = engine_.activeFaces(), target = targetFaces_, k = record.removedFaces.size();
    if (cur >= target)
        return false;
    if (cur + k <= target)
        return true;
    // Undo when it overshoots by no more than the current shortfall.
    return target - cur >= cur + k - target;
}

// A replaying engine first re-applies the contractions it undid, in the order they were first
// applied, and asks its queue only when none is left.
bool ResolutionDecreaser::fetch(PairContraction& record) {
    // At the target already: a replaying engine is not made to price what it deferred only for
    // the contraction accept() would refuse.
    if (engine_.replaysScrub() && engine_.activeFaces() <= targetFaces_)
        return false;
    replaying_ = engine_.replaysScrub() && sequence_.undone() > 0;
    if (replaying_) {
        sequence_.next(record);
        return true;
    }
    return engine_.nextContraction(record);
}

void ResolutionDecreaser::apply(const PairContraction& record) {
    if (replaying_) {
        engine_.replayContraction(record);
        sequence_.advance();
    } else {
        engine_.applyContraction(record);
        sequence_.push_back(record);
    }
}

bool ResolutionDecreaser::accept(const PairContraction& record) {
    const uint32_t cur = engine_.activeFaces(), target = targetFaces_, k = record.removedFaces.size();
    if (cur <= target)
        return false;
    if (cur - k >= target)
        return true;
    // Contract only when it undershoots by strictly less than the current excess.
    const bool closer = cur - target > target - (cur - k);
    if (!closer && !replaying_ && engine_.replaysScrub()) {
        // The queue's choice, refused here, is kept as an undone contraction: coming back to this
        // face count then stops on it without pricing what the undos left unpriced.
        sequence_.push_back(record);
        sequence_.retreat();
    }
    return closer;
}

uint32_t targetFaceCount(const Model& model, double fraction) {
    const uint32_t full = model.numFaces();
    float target = float(double(full) * fraction);
    if (float(full) < target)
        target = float(full);
    if (!(target >= 0.0f)) // negative, or not a number
        target = 0.0f;
    return uint32_t(target);
}

bool changeResolution(QSlim& engine, ContractionSequence& sequence, double fraction,
                      ResolutionObserver* observer) {
    // For whole face counts, "active <= F x r" and "active <= trunc(F x r)" agree.
    return changeFaceCount(engine, sequence, targetFaceCount(engine.model(), fraction), observer);
}

bool changeFaceCount(QSlim& engine, ContractionSequence& sequence, uint32_t target,
                     ResolutionObserver* observer) {
    std::unique_ptr<ResolutionChanger> changer;
    if (engine.activeFaces() <= target)
        changer.reset(new (std::nothrow) ResolutionIncreaser(engine, sequence, target));
    else
        changer.reset(new (std::nothrow) ResolutionDecreaser(engine, sequence, target));
    if (!changer)
        return false;
    const uint32_t start = engine.activeFaces();
    const bool decreasing = start > target;
    for (uint32_t steps = 1; !changer->done(); ++steps) {
        changer->step();
        if (observer && steps % 4096 == 0)
            observer->progressed(start, engine.activeFaces(), target);
        // A long decimation gives back, as it goes, the storage of the pairs it released: the
        // records it adds then do not raise the process's peak.
        if (decreasing && steps % 32768 == 0)
            engine.releaseSpare();
    }
    if (observer)
        observer->progressed(start, engine.activeFaces(), target);
    if (decreasing)
        engine.releaseSpare();
    return true;
}

} // namespace gdx
