// ContractionGuard: judges a prepared contraction before the engine queues it at its cost.
//   - fold guard: a remaining face whose normal would turn by more than `foldAngle` degrees, or
//     that would lose (almost) all its area, makes the contraction PENALISED: it still happens,
//     but only after every harmless contraction, so targets stay reachable;
//   - topology guard (link condition): a contraction that would make an edge shared by more than
//     two faces, fuse two sheets, collapse a closed shape flat or close a hole is REFUSED;
//   - border lock: a contraction touching a vertex on an open border is REFUSED.
// Every guard is off until configured. The verdict only changes a pair's error (see guardedError),
// so the contraction records, undo and resolution changes work exactly as without guards.
//
//   ContractionGuard guard(model);
//   guard.configure(60.0, true, false);
//   pair.error = guardedError(pair.error, guard.judge(a, b, record, target));
#pragma once

#include "Model.h"

namespace gdx {

enum class Verdict { ALLOW, PENALISE, REFUSE };

// Penalised errors sort after every ordinary error below 2^95 and keep their order among
// themselves; refused ones after those.
float guardedError(float error, Verdict verdict);
bool isPenalised(float error);

class ContractionGuard {
public:
    explicit ContractionGuard(Model& model) : model_(model) {}

    // foldAngle in degrees, 0 (or less) for no fold guard.
    void configure(double foldAngle, bool keepTopology, bool lockBorder);
    bool enabled() const { return foldGuard_ || keepTopology_ || lockBorder_; }

    // `record` prepared for contracting b into a, with a moving to `target`.
    Verdict judge(const PairContraction& record, const FloatVector& target);

private:
    bool folds(const PairContraction& record, const FloatVector& target) const;
    bool breaksTopology(const PairContraction& record);
    bool onBorder(uint32_t v, IndexArray& neighbours);

    Model& model_;
    bool foldGuard_ = false, keepTopology_ = false, lockBorder_ = false;
    double cosFoldAngle_ = 0.0;
    IndexArray neighboursA_, neighboursB_, link_;
};

} // namespace gdx
