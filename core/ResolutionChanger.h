// ResolutionChanger: moves an engine towards a target face count one contraction (or one undo) at
// a time, stopping when the next step would not bring the active face count closer; on a tie it
// ends on the larger count. The contraction sequence is a stack of the records of the
// contractions currently applied, oldest first.
//
//   ContractionSequence sequence;                 // owned by the caller, kept across changes
//   changeResolution(engine, sequence, 0.25);     // 25 % of the full face count
//   changeResolution(engine, sequence, 1.0);      // everything undone again
#pragma once

#include "ContractionSequence.h"
#include "QSlim.h"

#include <vector>

namespace gdx {

class ResolutionChanger {
public:
    ResolutionChanger(QSlim& engine, ContractionSequence& sequence, uint32_t targetFaces)
        : engine_(engine), sequence_(sequence), targetFaces_(targetFaces) {}
    virtual ~ResolutionChanger() = default;

    void step();
    bool done() const { return finished_; }
    uint32_t targetFaces() const { return targetFaces_; }

protected:
    virtual bool fetch(PairContraction& record) = 0;
    virtual void apply(const PairContraction& record) = 0;
    virtual bool accept(const PairContraction& record) = 0;

    QSlim& engine_;
    ContractionSequence& sequence_;
    uint32_t targetFaces_;
    bool finished_ = false;

private:
    PairContraction record_; // reused by every step
};

// Raises the face count by undoing the latest recorded contractions.
class ResolutionIncreaser : public ResolutionChanger {
public:
    using ResolutionChanger::ResolutionChanger;

protected:
    bool fetch(PairContraction& record) override;
    void apply(const PairContraction& record) override;
    bool accept(const PairContraction& record) override;
};

// Lowers the face count by contracting the engine's cheapest pairs (or, for a replaying engine,
// by re-applying the undone contractions the sequence kept).
class ResolutionDecreaser : public ResolutionChanger {
public:
    using ResolutionChanger::ResolutionChanger;

protected:
    bool fetch(PairContraction& record) override;
    void apply(const PairContraction& record) override;
    bool accept(const PairContraction& record) override;

private:
    bool replaying_ = false;
};

// The whole face-count target for a fraction of the model's full face count: F x r in double,
// stored as a float, clamped to 0..F, truncated.
uint32_t targetFaceCount(const Model& model, double fraction);

// Told how far a change has come every few thousand steps: the active face count at the start, now,
// and the target. Watching changes nothing in the result.
class ResolutionObserver {
public:
    virtual ~ResolutionObserver() = default;
    virtual void progressed(uint32_t startFaces, uint32_t activeFaces, uint32_t targetFaces) = 0;
};

// Moves the engine to `fraction` of the full face count (1.0 = everything, 0.0 = as far as the
// engine goes). Returns false, changing nothing, when the changer cannot be created.
bool changeResolution(QSlim& engine, ContractionSequence& sequence, double fraction,
                      ResolutionObserver* observer = nullptr);
// The same towards `target` active faces.
bool changeFaceCount(QSlim& engine, ContractionSequence& sequence, uint32_t target,
                     ResolutionObserver* observer = nullptr);

} // namespace gdx
