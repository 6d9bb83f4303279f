// Model: the core's triangle mesh. Vertex positions, triangle faces and per-corner attributes held in
// wedges (attribute slots: every UV set, a normal, a colour) shared by the corners of a vertex with
// equal first-set UV, normal and colour that are joined around the vertex. Face records are never
// deleted, only deactivated, so every contraction can be undone.
//
// Building, in this order:
//   1. Model m(numVertices, numTriangles);
//   2. m.positions() gets exactly numVertices points;
//   3. m.setNumUVSets(k);
//   4. per corner: w = m.addWedge(vertex, normal, color, uvList)   (k (u, v) pairs, set order)
//   5. per triangle: m.addFace(a, b, c, wa, wb, wc, true);
//   6. m.splitDisconnectedWedges();
// Then the engine changes it only through prepareContraction / contract / uncontract and
// setAttributes.
#pragma once

#include "Face.h"
#include "OrderedSet.h"
#include "PairContraction.h"
#include "SmallVector.h"
#include "Types.h"
#include "VectorN.h"

#include <vector>

namespace gdx {

struct FaceState {
    int8_t mark = 0;
    bool active = true;
};

struct VertexState {
    int8_t mark = 0;
    bool active = true;
};

using FaceList = SmallVector<uint32_t, 6>;
using WedgeSet = OrderedSet<uint32_t, 4>;

class Model {
public:
    Model(uint32_t numVertices, uint32_t faceCapacity);

    // Building.
    FloatPointArray& positions() { return positions_; }
    const FloatPointArray& positions() const { return positions_; }
    void setNumUVSets(uint32_t k);
    uint32_t addWedge(uint32_t vertex, const DoubleVector& normal, const Color& color,
                      const FloatArray& uvList);
    uint32_t addFace(uint32_t a, uint32_t b, uint32_t c, uint32_t wa, uint32_t wb, uint32_t wc, bool link);
    void splitDisconnectedWedges();

    // Queries.
    uint32_t numVertices() const { return uint32_t(positions_.size()); }
    uint32_t numWedges() const { return wedgeCount_; }
    uint32_t numFaces() const { return uint32_t(faces_.size()); }
    uint32_t numUVSets() const { return uint32_t(uSets_.size()); }
    inline const Face& face(uint32_t f) const;
    inline const FaceList& vertexFaces(uint32_t v) const;
    inline FaceState& faceState(uint32_t f);
    inline const FaceState& faceState(uint32_t f) const;
    inline VertexState& vertexState(uint32_t v);
    inline const VertexState& vertexState(uint32_t v) const;
    // The wedge face f uses at vertex v.
    inline uint32_t wedgeAt(uint32_t f, uint32_t v) const;
    const FloatArray& uArray(uint32_t k) const { return uSets_[k]; }
    const FloatArray& vArray(uint32_t k) const { return vSets_[k]; }
    const FloatArray& firstU() const { return firstU_; }
    const FloatArray& firstV() const { return firstV_; }
    const DoubleVectorArray& normals() const { return normals_; }
    const ColorArray& colors() const { return colors_; }

    void faceNormal(uint32_t f, DoubleVector& out, bool normalize) const;
    double faceArea(uint32_t f) const;
    // Append to `out` (not cleared).
    void edgeFaces(uint32_t a, uint32_t b, IndexArray& out);
    void vertexNeighbours(uint32_t v, IndexArray& out);
    void wedgesAt(uint32_t v, const FaceList& faceList, WedgeSet& out) const;
    void wedgesAt(uint32_t v, const IndexArray& faceList, WedgeSet& out) const;
    uint32_t countFacesWithWedge(const FaceList& faceList, uint32_t w) const;
    uint32_t countFacesWithWedge(const SmallVector<uint32_t, 2>& faceList, uint32_t w) const;
    void removeFace(uint32_t f);

    // Attribute vectors: per wedge, the used groups in order (first-set u, v times uvWeight; normal
    // times normalWeight; colour times colorWeight).
    void setAttributeUse(bool uv, bool normal, bool color);
    void setAttributeClamping(bool clampUVs, bool unitizeNormals, bool clampColors);
    void setAttributeWeights(double uv, double normal, double color);
    uint32_t attributeDimension() const { return uvDimension_ + normalDimension_ + colorDimension_; }
    uint32_t uvDimension() const { return uvDimension_; }
    uint32_t normalDimension() const { return normalDimension_; }
    uint32_t colorDimension() const { return colorDimension_; }
    void getAttributes(uint32_t w, VectorN& vec) const;
    void setAttributes(uint32_t w, const VectorN& vec);
    // Clamps UVs and colours to [0, weight] and renormalises normals to length normalWeight, block by
    // block over a vector that may hold several attribute vectors back to back.
    void clampAttributes(VectorN& vec) const;

    // Contraction records.
    void prepareContraction(uint32_t a, uint32_t b, PairContraction& record,
                            const FloatVector* target = nullptr);
    // Only the wedge lists of prepareContraction (wedgePairs, freeWedges, firstRemovedSideWedge),
    // equal to what it would give, for pricing a pair: the face lists are left untouched. Its cost
    // follows the smaller vertex's faces, the wedge sets of the last vertices asked about are kept
    // until the model changes. False when neither vertex has a face.
    bool prepareEvaluation(uint32_t a, uint32_t b, PairContraction& record);
    // The same with the caller's working state, so that several threads can price pairs of an
    // unchanging model at once (each with its own scratch). Not for a model with repeated corners.
    struct PricingScratch;
    bool prepareEvaluation(uint32_t a, uint32_t b, PairContraction& record, PricingScratch& scratch) const;
    bool pricesConcurrently() const { return !repeatedCorners_; }
    // Notes, for every vertex, whether all its faces use one wedge there (most vertices away from
    // seams): pricing a pair of two such vertices then needs neither vertex's wedge counts. Kept up
    // to date by contract() and uncontract(); until called, every pair is priced the long way.
    void noteSingleWedges();
    bool singleWedge(uint32_t v) const { return singleWedge_[v] != 0; }
    void contract(const PairContraction& record);
    void uncontract(const PairContraction& record);

private:
    bool wedgeEquals(uint32_t w, const DoubleVector& normal, const Color& color, float u, float v) const;
    uint32_t newWedgeSlot();
    void copyWedgeValues(uint32_t from);
    void splitAt(uint32_t v);
    void collectEdgeNeighbours(uint32_t f, uint32_t corner, IndexArray& out);
    static void unlink(FaceList& list, uint32_t f);

    FloatPointArray positions_;
    // A face and its state side by side: the contraction queries read both for every face they
    // visit, so one cache line serves both.
    struct FaceRecord {
        Face face;
        FaceState state;
    };
    std::vector<FaceRecord> faces_;
    std::vector<FaceList> vertexFaces_;
    std::vector<VertexState> vertexState_;
    DoubleVectorArray normals_;
    ColorArray colors_;
    std::vector<FloatArray> uSets_;
    std::vector<FloatArray> vSets_;
    FloatArray firstU_;
    FloatArray firstV_;
    uint32_t uvDimension_ = 0, normalDimension_ = 0, colorDimension_ = 0;
    bool clampUVs_ = false, unitizeNormals_ = true, clampColors_ = true;
    double uvWeight_ = 1.0, normalWeight_ = 1.0, colorWeight_ = 1.0;
    uint32_t wedgeCount_ = 0;

    // The wedges used around a vertex with how many of its faces use each (ascending wedges),
    // kept for the pairs priced next: a vertex's pairs are priced one after another. Face removals
    // and relinks update the counts; other changes at the vertex drop them.
    struct WedgeCount {
        uint32_t wedge;
        uint32_t count;
    };
    using WedgeCounts = SmallVector<WedgeCount, 4>;
    struct WedgeCountCache {
        uint32_t vertex = INVALID_INDEX;
        uint64_t used = 0;
        WedgeCounts counts;
    };
    struct WedgeCountState {
        WedgeCountCache cache[2];
        WedgeCounts small[2];
        uint64_t clock = 0;
    };
    // v's counts; `avoidSlot` is the slot the pair's first vertex took (2 when asking for it).
    const WedgeCounts& cachedWedges(uint32_t v, uint32_t avoidSlot, uint32_t& slot,
                                    WedgeCountState& state) const;
    void forgetWedges(uint32_t v);
    void countWedge(uint32_t v, uint32_t w, bool added);
    static constexpr uint32_t kCachedDegree = 16;

public:
    struct PricingScratch {
        std::vector<uint8_t> wedgeFlags; // per wedge
        WedgeCountState counts;
    };

private:
    PricingScratch own_; // the model's own: its counts follow the model's changes
    // Per vertex, 1 when every face of it uses one wedge there (or it has none); 0 when it may use
    // several, or noteSingleWedges() has not been called.
    std::vector<uint8_t> singleWedge_;
    void noteSingleWedge(uint32_t v);
    bool repeatedCorners_ = false; // a face names one vertex twice: pricing takes the full path

    // Scratch storage reused by prepareContraction and the wedge split.
    WedgeSet scratchSetA_, scratchSetB_;
    IndexArray scratchFaces_, scratchStack_;
    std::vector<uint8_t> splitState_;
};

} // namespace gdx

#include "Model.inl"
