// ContractionGuard: judges a prepared contraction before the engine queues it at its cost.
//   - fold guard: a remaining face whose normal would turn by more than `foldAngle` degrees, or
//     that would lose (almost) all its area, makes the contraction PENALISED: it still happens,
//     but only after every harmless contraction, so targets stay reachable;
//   - topology guard (link condition): a contraction that would make an edge shared by more than
//     two faces, fuse two sheets, collapse a closed shape flat or close a hole is REFUSED;
//   - border lock: a contraction touching a vertex on an open border is REFUSED;
//   - border hold: a contraction next to an open border keeps the border vertex where it is (see
//     holdBorder); one that cannot do so without changing the border's shape is priced up by the
//     engine by how far the border moves.
// Every guard is off until configured. The verdict only changes a pair's error (see guardedError),
// so the contraction records, undo and resolution changes work exactly as without guards.
//
//   ContractionGuard guard(model);
//   guard.configure(60.0, true, false);
//   pair.error = guardedError(pair.error, guard.judge(a, b, target));
#pragma once

#include "Model.h"
#include "PairContraction.h"

#include <atomic>
#include <initializer_list>
#include <memory>

namespace gdx {

enum class Verdict { ALLOW, PENALISE, REFUSE };

// Where a held border lets the kept vertex of a contraction go: anywhere, exactly at the first or
// the second vertex's position, or (SHIFTS) nowhere without changing the border's shape.
enum class BorderPin { FREE, AT_FIRST, AT_SECOND, SHIFTS };
struct BorderHold {
    BorderPin pin = BorderPin::FREE;
    double shift = 0.0, edge2 = 0.0;
};

// Penalised errors sort after every ordinary error below 2^95 and keep their order among
// themselves; refused ones after those.
float guardedError(float error, Verdict verdict);

class ContractionGuard {
public:
    explicit ContractionGuard(Model& model) : model_(model) {}

    // foldAngle in degrees, 0 (or less) for no fold guard.
    void configure(double foldAngle, bool keepTopology, bool lockBorder, bool holdBorder = false);
    bool enabled() const { return foldGuard_ || keepTopology_ || lockBorder_ || holdBorder_; }
    bool holdsBorder() const { return holdBorder_; }

    // To be called with each contraction before the model applies it: the neighbours kept for a
    // vertex of thousands of faces are brought up to date instead of being gathered again.
    void contracting(const PairContraction& record);
    // To be called with each undo after the model applied it.
    void uncontracted(const PairContraction& record);
    // The contraction of b into a, with a moving to `target`, in the model's current state.
    Verdict judge(uint32_t a, uint32_t b, const FloatVector& target);
    // With the border held: where the contraction of b into a (a moving to `target`) may put a
    // without moving an open border. Next to one border vertex, exactly there; along a border
    // edge, at the end that keeps the border's shape (the other end lies on a straight run);
    // otherwise SHIFTS, with how far the border moves (the farthest of a, b and the target from
    // the other border) and the edge's squared length when a-b is a border edge between two plain
    // border vertices (0 and 0 otherwise).
    // With `scratch`, neighbours are gathered there instead of through the guard's caches, so
    // that threads may ask about different pairs at once (setup prices on every core); the answer
    // is the same either way.
    BorderHold holdBorder(uint32_t a, uint32_t b, const FloatVector& target, IndexArray* scratch = nullptr);

private:
    bool folds(uint32_t a, uint32_t b, const FloatVector& target) const;
    bool breaksTopology(uint32_t a, uint32_t b);
    bool onBorder(uint32_t v, IndexArray* scratch = nullptr);
    uint32_t otherBorderNeighbour(uint32_t v, uint32_t end, IndexArray* scratch);
    const IndexArray& neighbours(uint32_t v);
    // v's neighbours gathered into `scratch` (sorted), touching no shared state.
    const IndexArray& neighboursInto(uint32_t v, IndexArray& scratch) const;
    bool faceWith(std::initializer_list<uint32_t> vertices) const;
    uint32_t edgeFaceCount(uint32_t a, uint32_t b) const;

    Model& model_;
    bool foldGuard_ = false, keepTopology_ = false, lockBorder_ = false, holdBorder_ = false;
    double cosFoldAngle_ = 0.0;
    IndexArray link_, around_;
    // The neighbours of the vertices asked about most recently: a refresh asks about one vertex's
    // pairs in a row, and that vertex may have thousands of faces.
    struct Cached {
        uint32_t vertex = INVALID_INDEX;
        IndexArray neighbours;
        std::vector<uint32_t> at; // the many-faced slot only: where each vertex is in `neighbours`
    } cache_[3];                  // two in least-recently-used order, and one for a vertex of many faces
    uint32_t victim_ = 0;         // the slot (0 or 1) the next small vertex not cached replaces
    // Per vertex, whether it is on an open border, once asked (0: not known). Only the vertices
    // of the faces around the removed vertex change their faces or neighbours in a contraction or
    // its undo, so only theirs is forgotten. Threads pricing at once may fill in the same entry,
    // with the same value.
    enum : uint8_t { BORDER_UNKNOWN = 0, INSIDE = 1, ON_BORDER = 2 };
    std::unique_ptr<std::atomic<uint8_t>[]> border_;
    uint8_t borderState(uint32_t v) const { return border_[v].load(std::memory_order_relaxed); }
    void setBorderState(uint32_t v, uint8_t s) { border_[v].store(s, std::memory_order_relaxed); }
    void forgetBorderAround(const PairContraction& record, bool undone);
};

} // namespace gdx
