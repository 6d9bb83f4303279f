#include "Model.h"

#include "HugePages.h"
#include "MatrixN.h"

#include <algorithm>
#include <cmath>

namespace gdx {

const DoubleVector UNSET_NORMAL{INFINITY, INFINITY, INFINITY};
const Color UNSET_COLOR{INFINITY, INFINITY, INFINITY, INFINITY};
const float UNSET_UV = INFINITY;

Model::Model(uint32_t numVertices, uint32_t faceCapacity)
    : vertexState_(numVertices), normals_(numVertices, UNSET_NORMAL), colors_(numVertices, UNSET_COLOR),
      firstU_(numVertices, UNSET_UV), firstV_(numVertices, UNSET_UV), wedgeCount_(numVertices) {
    own_.wedgeFlags.assign(numVertices, 0);
    singleWedge_.assign(numVertices, 0);
    resizeHuge(vertexFaces_, numVertices);
    reserveHuge(positions_, numVertices);
    reserveHuge(faces_, faceCapacity);
}

void Model::setNumUVSets(uint32_t k) {
    uSets_.assign(k, FloatArray(positions_.size(), 0.0f));
    vSets_.assign(k, FloatArray(positions_.size(), 0.0f));
}

// ---------------------------------------------------------------------------------------------------
// Building

bool Model::wedgeEquals(uint32_t w, const DoubleVector& normal, const Color& color, float u, float v) const {
    return firstU_[w] == u && firstV_[w] == v && colors_[w] == color && normals_[w] == normal;
}

uint32_t Model::newWedgeSlot() {
    own_.wedgeFlags.push_back(0);
    return wedgeCount_++;
}

uint32_t Model::addWedge(uint32_t v, const DoubleVector& normal, const Color& color,
                         const FloatArray& uvList) {
    // A mesh without UV sets reads as first-set UV (0, 0), so its wedges split on normals and colours
    // only.
    const float u0 = uvList.size() >= 2 ? uvList[0] : 0.0f;
    const float v0 = uvList.size() >= 2 ? uvList[1] : 0.0f;
    const uint32_t pairs = uint32_t(uvList.size() / 2);

    if (wedgeEquals(v, normal, color, u0, v0))
        return v;

    if (firstU_[v] != UNSET_UV) {
        for (uint32_t f : vertexFaces_[v]) {
            const uint32_t w = wedgeAt(f, v);
            if (wedgeEquals(w, normal, color, u0, v0)) {
                vertexState_[v].mark = 1;
                return w;
            }
        }
        const uint32_t w = newWedgeSlot();
        normals_.push_back(normal);
        colors_.push_back(color);
        firstU_.push_back(u0);
        firstV_.push_back(v0);
        for (uint32_t k = 0; k < pairs && k < uSets_.size(); ++k) {
            uSets_[k].push_back(uvList[2 * k]);
            vSets_[k].push_back(uvList[2 * k + 1]);
        }
        vertexState_[v].mark = 1;
        return w;
    }

    for (uint32_t k = 0; k < pairs && k < uSets_.size(); ++k) {
        uSets_[k][v] = uvList[2 * k];
        vSets_[k][v] = uvList[2 * k + 1];
    }
    firstU_[v] = u0;
    firstV_[v] = v0;
    normals_[v] = normal;
    colors_[v] = color;
    vertexState_[v].mark = 0;
    return v;
}

uint32_t Model::addFace(uint32_t a, uint32_t b, uint32_t c, uint32_t wa, uint32_t wb, uint32_t wc,
                        bool link) {
    const uint32_t f = uint32_t(faces_.size());
    forgetWedges(a);
    forgetWedges(b);
    forgetWedges(c);
    repeatedCorners_ = repeatedCorners_ || a == b || b == c || a == c;
    faces_.push_back(FaceRecord{Face{{a, b, c}, {wa, wb, wc}}, FaceState{0, true}});
    if (link) {
        vertexFaces_[a].push_back(f);
        vertexFaces_[b].push_back(f);
        vertexFaces_[c].push_back(f);
    }
    return f;
}

void Model::copyWedgeValues(uint32_t from) {
    // Values are read before each push: a push may reallocate the array they come from.
    const DoubleVector normal = normals_[from];
    const Color color = colors_[from];
    const float u = firstU_[from], v = firstV_[from];
    normals_.push_back(normal);
    colors_.push_back(color);
    firstU_.push_back(u);
    firstV_.push_back(v);
    for (uint32_t k = 0; k < uSets_.size(); ++k) {
        const float uk = uSets_[k][from], vk = vSets_[k][from];
        uSets_[k].push_back(uk);
        vSets_[k].push_back(vk);
    }
}

void Model::splitDisconnectedWedges() {
    splitState_.assign(faces_.size(), 0);
    for (uint32_t v = 0; v < numVertices(); ++v)
        if (vertexState_[v].mark == 1)
            splitAt(v);
    splitState_.clear();
    splitState_.shrink_to_fit();
}

void Model::collectEdgeNeighbours(uint32_t f, uint32_t corner, IndexArray& out) {
    const Face& face = faces_[f].face;
    const uint32_t x = face.vertex(corner), y = face.vertex((corner + 1) % 3),
                   z = face.vertex((corner + 2) % 3);
    for (uint32_t g : vertexFaces_[x])
        faces_[g].state.mark = 1;
    for (uint32_t g : vertexFaces_[y])
        faces_[g].state.mark -= 1;
    for (uint32_t g : vertexFaces_[z])
        faces_[g].state.mark -= 1;
    for (uint32_t g : vertexFaces_[x])
        if (faces_[g].state.mark == 0) {
            out.push_back(g);
            faces_[g].state.mark = 1;
        }
}

void Model::splitAt(uint32_t v) {
    forgetWedges(v);
    enum : uint8_t { UNVISITED = 0, REACHED = 1, DONE = 2 };
    FaceList& around = vertexFaces_[v];
    for (uint32_t f : around)
        splitState_[f] = UNVISITED;

    for (uint32_t p = 0; p < around.size(); ++p) {
        const uint32_t f = around[p];
        if (splitState_[f] != UNVISITED)
            continue;
        const uint32_t w = wedgeAt(f, v);
        const uint32_t n = wedgeCount_;

        // Flood over faces around v joined to f through an edge at v and using the same wedge.
        scratchStack_.clear();
        scratchStack_.push_back(f);
        splitState_[f] = REACHED;
        while (!scratchStack_.empty()) {
            const uint32_t g = scratchStack_.back();
            scratchStack_.pop_back();
            scratchFaces_.clear();
            collectEdgeNeighbours(g, faces_[g].face.cornerOf(v), scratchFaces_);
            for (uint32_t h : scratchFaces_)
                if (splitState_[h] == UNVISITED && wedgeAt(h, v) == w) {
                    splitState_[h] = REACHED;
                    scratchStack_.push_back(h);
                }
        }

        bool changed = false;
        for (uint32_t q = p; q < around.size(); ++q) {
            const uint32_t g = around[q];
            if (splitState_[g] != UNVISITED) {
                splitState_[g] = DONE;
            } else if (wedgeAt(g, v) == w) {
                faces_[g].face.setWedge(faces_[g].face.cornerOf(v), n);
                changed = true;
            }
        }
        if (changed) {
            newWedgeSlot();
            copyWedgeValues(w);
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Queries and edits

void Model::faceNormal(uint32_t f, DoubleVector& out, bool normalizeIt) const {
    const Face& face = faces_[f].face;
    const FloatPoint& p0 = positions_[face.vertex(0)];
    const FloatPoint& p1 = positions_[face.vertex(1)];
    const FloatPoint& p2 = positions_[face.vertex(2)];
    const float e1x = p1.x - p0.x, e1y = p1.y - p0.y, e1z = p1.z - p0.z;
    const float e2x = p2.x - p0.x, e2y = p2.y - p0.y, e2z = p2.z - p0.z;
    out = cross(DoubleVector{e1x, e1y, e1z}, DoubleVector{e2x, e2y, e2z});
    if (normalizeIt)
        normalize(out);
}

double Model::faceArea(uint32_t f) const {
    DoubleVector n;
    faceNormal(f, n, false);
    return 0.5 * std::sqrt(dot(n, n));
}

void Model::edgeFaces(uint32_t a, uint32_t b, IndexArray& out) {
    for (uint32_t f : vertexFaces_[a])
        faces_[f].state.mark = 1;
    for (uint32_t f : vertexFaces_[b])
        faces_[f].state.mark = 0;
    for (uint32_t f : vertexFaces_[a])
        if (faces_[f].state.mark == 0) {
            out.push_back(f);
            faces_[f].state.mark = 1;
        }
}

void Model::vertexNeighbours(uint32_t v, IndexArray& out) {
    const FaceList& around = vertexFaces_[v];
    for (uint32_t f : around)
        for (uint32_t x : faces_[f].face.vertices)
            vertexState_[x].mark = 0;
    vertexState_[v].mark = 1;
    for (uint32_t f : around)
        for (uint32_t x : faces_[f].face.vertices)
            if (vertexState_[x].mark == 0) {
                out.push_back(x);
                vertexState_[x].mark = 1;
            }
}

void Model::wedgesAt(uint32_t v, const FaceList& faceList, WedgeSet& out) const {
    for (uint32_t f : faceList)
        out.insert(wedgeAt(f, v));
}

void Model::wedgesAt(uint32_t v, const IndexArray& faceList, WedgeSet& out) const {
    for (uint32_t f : faceList)
        out.insert(wedgeAt(f, v));
}

uint32_t Model::countFacesWithWedge(const FaceList& faceList, uint32_t w) const {
    uint32_t n = 0;
    for (uint32_t f : faceList)
        n += (faces_[f].state.active && faces_[f].face.hasWedge(w)) ? 1 : 0;
    return n;
}

uint32_t Model::countFacesWithWedge(const SmallVector<uint32_t, 2>& faceList, uint32_t w) const {
    uint32_t n = 0;
    for (uint32_t f : faceList)
        n += (faces_[f].state.active && faces_[f].face.hasWedge(w)) ? 1 : 0;
    return n;
}

void Model::unlink(FaceList& list, uint32_t f) {
    const uint32_t i = list.find(f);
    if (i < list.size()) {
        list[i] = list.back();
        list.pop_back();
    }
}

void Model::removeFace(uint32_t f) {
    faces_[f].state.active = false;
    const Face& face = faces_[f].face;
    for (uint32_t v : face.vertices)
        unlink(vertexFaces_[v], f);
    for (uint32_t c = 0; c < 3; ++c)
        countWedge(face.vertex(c), face.wedge(c), false);
}

// ---------------------------------------------------------------------------------------------------
// Attribute vectors

void Model::setAttributeUse(bool uv, bool normal, bool color) {
    uvDimension_ = uv ? 2 : 0;
    normalDimension_ = normal ? 3 : 0;
    colorDimension_ = color ? 4 : 0;
}

void Model::setAttributeClamping(bool clampUVs, bool unitizeNormals, bool clampColors) {
    clampUVs_ = clampUVs;
    unitizeNormals_ = unitizeNormals;
    clampColors_ = clampColors;
}

void Model::setAttributeWeights(double uv, double normal, double color) {
    uvWeight_ = uv;
    normalWeight_ = normal;
    colorWeight_ = color;
}

void Model::getAttributes(uint32_t w, VectorN& vec) const {
    if (vec.size() != attributeDimension())
        vec.resize(attributeDimension());
    uint32_t i = 0;
    if (uvDimension_) {
        vec[i++] = double(firstU_[w]) * uvWeight_;
        vec[i++] = double(firstV_[w]) * uvWeight_;
    }
    if (normalDimension_) {
        vec[i++] = normals_[w].x * normalWeight_;
        vec[i++] = normals_[w].y * normalWeight_;
        vec[i++] = normals_[w].z * normalWeight_;
    }
    if (colorDimension_) {
        const Color& c = colors_[w];
        vec[i++] = double(c.r) * colorWeight_;
        vec[i++] = double(c.g) * colorWeight_;
        vec[i++] = double(c.b) * colorWeight_;
        vec[i++] = double(c.a) * colorWeight_;
    }
}

void Model::setAttributes(uint32_t w, const VectorN& vec) {
    uint32_t i = 0;
    if (uvDimension_) {
        firstU_[w] = float(vec[i++] / uvWeight_);
        firstV_[w] = float(vec[i++] / uvWeight_);
    }
    if (normalDimension_) {
        normals_[w].x = vec[i++] / normalWeight_;
        normals_[w].y = vec[i++] / normalWeight_;
        normals_[w].z = vec[i++] / normalWeight_;
    }
    if (colorDimension_) {
        Color& c = colors_[w];
        c.r = float(vec[i++] / colorWeight_);
        c.g = float(vec[i++] / colorWeight_);
        c.b = float(vec[i++] / colorWeight_);
        c.a = float(vec[i++] / colorWeight_);
    }
}

namespace {
void clampRange(double* x, uint32_t n, double top) {
    for (uint32_t i = 0; i < n; ++i) {
        if (x[i] > top)
            x[i] = top;
        else if (x[i] < 0.0)
            x[i] = 0.0;
    }
}
} // namespace

void Model::clampAttributes(VectorN& vec) const {
    const uint32_t block = attributeDimension();
    if (block == 0)
        return;
    double* x = vec.data();
    for (uint32_t start = 0; start + block <= vec.size(); start += block) {
        double* entry = x + start;
        if (uvDimension_) {
            if (clampUVs_)
                clampRange(entry, 2, uvWeight_);
            entry += 2;
        }
        if (normalDimension_) {
            if (unitizeNormals_) {
                const double s = entry[0] * entry[0] + entry[1] * entry[1] + entry[2] * entry[2];
                // A zero-length normal (opposite normals cancelled out) has no direction to keep: it
                // is left as it is rather than turned into NaN.
                if (std::fabs(normalWeight_ * normalWeight_ - s) > 1e-12 && s > 0.0 && std::isfinite(s)) {
                    const double k = std::sqrt(s) / normalWeight_;
                    entry[0] /= k;
                    entry[1] /= k;
                    entry[2] /= k;
                }
            }
            entry += 3;
        }
        if (colorDimension_ && clampColors_)
            clampRange(entry, 4, colorWeight_);
    }
}

// ---------------------------------------------------------------------------------------------------
// Contraction records

void Model::prepareContraction(uint32_t a, uint32_t b, PairContraction& record, const FloatVector* target) {
    record.keptVertex = a;
    record.removedVertex = b;
    if (target) {
        const FloatPoint& p = positions_[a];
        record.displacement = FloatVector{target->x - p.x, target->y - p.y, target->z - p.z};
    } else {
        record.displacement = FloatVector{0.0f, 0.0f, 0.0f};
    }

    record.removedFaces.clear();
    record.changedFaces.clear();
    record.firstRemovedSideFace = 0;
    const FaceList& aroundA = vertexFaces_[a];
    const FaceList& aroundB = vertexFaces_[b];
    for (uint32_t f : aroundB)
        faces_[f].state.mark = 0;
    for (uint32_t f : aroundA)
        faces_[f].state.mark = 1;
    for (uint32_t f : aroundB)
        faces_[f].state.mark += 1;
    for (const FaceList* around : {&aroundA, &aroundB}) {
        for (uint32_t f : *around) {
            const int8_t mark = faces_[f].state.mark;
            if (mark >= 2)
                record.removedFaces.push_back(f);
            else if (mark == 1)
                record.changedFaces.push_back(f);
            faces_[f].state.mark = 0;
        }
        if (around == &aroundA)
            record.firstRemovedSideFace = record.changedFaces.size();
    }

    record.wedgePairs.clear();
    record.freeWedges.clear();
    record.firstRemovedSideWedge = 0;
    WedgeSet& sa = scratchSetA_;
    WedgeSet& sb = scratchSetB_;
    sa.clear();
    sb.clear();
    wedgesAt(a, aroundA, sa);
    wedgesAt(b, aroundB, sb);
    for (uint32_t w : sa)
        own_.wedgeFlags[w] = 0;
    for (uint32_t w : sb)
        own_.wedgeFlags[w] = 0;
    for (uint32_t f : record.changedFaces)
        for (uint32_t w : faces_[f].face.wedges)
            own_.wedgeFlags[w] = 1;
    for (uint32_t f : record.removedFaces) {
        const uint32_t wa = wedgeAt(f, a), wb = wedgeAt(f, b);
        record.wedgePairs.insert(WedgePair{wa, wb});
        own_.wedgeFlags[wa] = 2;
        own_.wedgeFlags[wb] = 2;
    }
    // Each kept-side wedge merges with one removed-side wedge: the smallest it was paired with.
    for (uint32_t i = 1; i < record.wedgePairs.size();) {
        if (record.wedgePairs[i].kept == record.wedgePairs[i - 1].kept)
            record.wedgePairs.erase(i);
        else
            ++i;
    }
    for (uint32_t w : sa)
        if (own_.wedgeFlags[w] == 1) {
            record.freeWedges.push_back(w);
            own_.wedgeFlags[w] = 2;
        }
    record.firstRemovedSideWedge = record.freeWedges.size();
    for (uint32_t w : sb)
        if (own_.wedgeFlags[w] == 1) {
            record.freeWedges.push_back(w);
            own_.wedgeFlags[w] = 2;
        }
}

void Model::contract(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    forgetWedges(a);
    forgetWedges(b);
    FloatPoint& p = positions_[a];
    p.x += record.displacement.x;
    p.y += record.displacement.y;
    p.z += record.displacement.z;

    for (uint32_t f : record.removedFaces)
        removeFace(f);
    FaceList& aroundA = vertexFaces_[a];
    for (uint32_t i = record.firstRemovedSideFace; i < record.changedFaces.size(); ++i) {
        const uint32_t f = record.changedFaces[i];
        faces_[f].face.replaceVertex(b, a);
        aroundA.push_back(f);
    }
    vertexState_[b].active = false;
    vertexFaces_[b].clear();
    for (const WedgePair& pair : record.wedgePairs)
        for (uint32_t i = record.firstRemovedSideFace; i < record.changedFaces.size(); ++i)
            faces_[record.changedFaces[i]].face.replaceWedge(pair.removed, pair.kept);
    // The removed faces' third corners only lose a face: one wedge there stays one.
    noteSingleWedge(a);
}

void Model::uncontract(const PairContraction& record) {
    const uint32_t a = record.keptVertex, b = record.removedVertex;
    forgetWedges(a);
    forgetWedges(b);
    FloatPoint& p = positions_[a];
    p.x -= record.displacement.x;
    p.y -= record.displacement.y;
    p.z -= record.displacement.z;

    for (uint32_t i = record.firstRemovedSideFace; i < record.changedFaces.size(); ++i)
        faces_[record.changedFaces[i]].face.replaceVertex(a, b);
    for (uint32_t f : record.removedFaces) {
        faces_[f].state.active = true;
        for (uint32_t c = 0; c < 3; ++c) {
            vertexFaces_[faces_[f].face.vertex(c)].push_back(f);
            countWedge(faces_[f].face.vertex(c), faces_[f].face.wedge(c), true);
        }
    }
    FaceList& aroundA = vertexFaces_[a];
    FaceList& aroundB = vertexFaces_[b];
    for (uint32_t i = record.firstRemovedSideFace; i < record.changedFaces.size(); ++i) {
        const uint32_t f = record.changedFaces[i];
        unlink(aroundA, f);
        aroundB.push_back(f);
    }
    vertexState_[b].active = true;
    for (const WedgePair& pair : record.wedgePairs)
        for (uint32_t i = record.firstRemovedSideFace; i < record.changedFaces.size(); ++i)
            faces_[record.changedFaces[i]].face.replaceWedge(pair.kept, pair.removed);
    // The removed faces come back, perhaps with a second wedge at their third corners.
    noteSingleWedge(a);
    noteSingleWedge(b);
    for (uint32_t f : record.removedFaces)
        for (uint32_t x : faces_[f].face.vertices)
            noteSingleWedge(x);
}

void Model::noteSingleWedges() {
    for (uint32_t v = 0; v < numVertices(); ++v)
        noteSingleWedge(v);
}

void Model::noteSingleWedge(uint32_t v) {
    const FaceList& around = vertexFaces_[v];
    uint8_t single = 1;
    if (!around.empty()) {
        const uint32_t w = wedgeAt(around[0], v);
        for (uint32_t f : around)
            single &= wedgeAt(f, v) == w ? 1 : 0;
    }
    singleWedge_[v] = single;
}

void Model::forgetWedges(uint32_t v) {
    for (WedgeCountCache& entry : own_.counts.cache)
        if (entry.vertex == v)
            entry.vertex = INVALID_INDEX;
}

void Model::countWedge(uint32_t v, uint32_t w, bool added) {
    for (WedgeCountCache& entry : own_.counts.cache) {
        if (entry.vertex != v)
            continue;
        WedgeCounts& counts = entry.counts;
        uint32_t i = 0;
        while (i < counts.size() && counts[i].wedge < w)
            ++i;
        const bool found = i < counts.size() && counts[i].wedge == w;
        if (added && found)
            ++counts[i].count;
        else if (added)
            counts.insert(i, WedgeCount{w, 1});
        else if (found && --counts[i].count == 0)
            counts.erase(i);
        else if (!found)
            entry.vertex = INVALID_INDEX; // not what the faces say: count afresh when next asked
    }
}

const Model::WedgeCounts& Model::cachedWedges(uint32_t v, uint32_t avoidSlot, uint32_t& slot,
                                              WedgeCountState& state) const {
    auto build = [&](WedgeCounts& counts) {
        counts.clear();
        for (uint32_t f : vertexFaces_[v]) {
            const uint32_t w = wedgeAt(f, v);
            uint32_t i = 0;
            while (i < counts.size() && counts[i].wedge < w)
                ++i;
            if (i < counts.size() && counts[i].wedge == w)
                ++counts[i].count;
            else
                counts.insert(i, WedgeCount{w, 1});
        }
    };
    // Few faces are counted afresh each time; only vertices of many faces take a slot.
    if (vertexFaces_[v].size() <= kCachedDegree) {
        slot = avoidSlot == 2 ? 3 : 4;
        WedgeCounts& counts = state.small[avoidSlot == 2 ? 0 : 1];
        build(counts);
        return counts;
    }
    ++state.clock;
    for (slot = 0; slot < 2; ++slot)
        if (slot != avoidSlot && state.cache[slot].vertex == v) {
            state.cache[slot].used = state.clock;
            return state.cache[slot].counts;
        }
    // The slot the other vertex of this pair does not hold; with both free, the one used least lately.
    slot = avoidSlot < 2 ? 1 - avoidSlot : (state.cache[0].used <= state.cache[1].used ? 0 : 1);
    WedgeCountCache& entry = state.cache[slot];
    entry.vertex = v;
    entry.used = state.clock;
    build(entry.counts);
    return entry.counts;
}

bool Model::prepareEvaluation(uint32_t a, uint32_t b, PairContraction& record) {
    if (repeatedCorners_) {
        prepareContraction(a, b, record);
        return !(record.removedFaces.empty() && record.changedFaces.empty());
    }
    return prepareEvaluation(a, b, record, own_);
}

bool Model::prepareEvaluation(uint32_t a, uint32_t b, PairContraction& record,
                              PricingScratch& scratch) const {
    std::vector<uint8_t>& flags = scratch.wedgeFlags;
    if (flags.size() < wedgeCount_)
        flags.resize(wedgeCount_, 0);
    const FaceList& aroundA = vertexFaces_[a];
    const FaceList& aroundB = vertexFaces_[b];
    record.wedgePairs.clear();
    record.freeWedges.clear();
    record.firstRemovedSideWedge = 0;
    if (aroundA.empty() && aroundB.empty())
        return false;

    // The faces using both vertices (every corner names a different vertex): found from the side
    // with fewer faces. Their wedges at a and b pair up; the kept wedge takes its smallest partner.
    const bool fromB = aroundB.size() <= aroundA.size();
    const uint32_t other = fromB ? a : b;
    if (singleWedge_[a] && singleWedge_[b]) {
        // One wedge on each side: they pair up if a face has both vertices, else both are free.
        const FaceList& around = fromB ? aroundB : aroundA;
        if (std::any_of(around.begin(), around.end(),
                        [&](uint32_t f) { return faces_[f].face.hasVertex(other); })) {
            record.wedgePairs.insert(WedgePair{wedgeAt(aroundA[0], a), wedgeAt(aroundB[0], b)});
            return true;
        }
        if (!aroundA.empty())
            record.freeWedges.push_back(wedgeAt(aroundA[0], a));
        record.firstRemovedSideWedge = record.freeWedges.size();
        if (!aroundB.empty())
            record.freeWedges.push_back(wedgeAt(aroundB[0], b));
        return true;
    }
    for (uint32_t f : fromB ? aroundB : aroundA)
        if (faces_[f].face.hasVertex(other))
            record.wedgePairs.insert(WedgePair{wedgeAt(f, a), wedgeAt(f, b)});
    for (uint32_t i = 1; i < record.wedgePairs.size();) {
        if (record.wedgePairs[i].kept == record.wedgePairs[i - 1].kept)
            record.wedgePairs.erase(i);
        else
            ++i;
    }

    // A vertex's wedge is free when some face uses it there and no removed face does: with one
    // wedge per vertex and corner, that is every wedge at the vertex not named by a removed face.
    // The removed faces' wedges are those of the pairs before the de-duplication above, so they
    // are collected again from the faces themselves.
    uint32_t slotA = 2, slotB = 2;
    const WedgeCounts& sa = cachedWedges(a, 2, slotA, scratch.counts);
    const WedgeCounts& sb = cachedWedges(b, slotA, slotB, scratch.counts);
    for (const WedgeCount& x : sa)
        flags[x.wedge] = 0;
    for (const WedgeCount& x : sb)
        flags[x.wedge] = 0;
    for (uint32_t f : fromB ? aroundB : aroundA)
        if (faces_[f].face.hasVertex(other)) {
            flags[wedgeAt(f, a)] = 2;
            flags[wedgeAt(f, b)] = 2;
        }
    for (const WedgeCount& x : sa)
        if (flags[x.wedge] == 0)
            record.freeWedges.push_back(x.wedge);
    record.firstRemovedSideWedge = record.freeWedges.size();
    for (const WedgeCount& x : sb)
        if (flags[x.wedge] == 0)
            record.freeWedges.push_back(x.wedge);
    return true;
}

} // namespace gdx
