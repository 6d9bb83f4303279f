#include "ErrorSearch.h"

#include <algorithm>
#include <vector>

namespace gradixpy {

gxmeasure::Surface surfaceOf(const ArrayView& vertices, const ArrayView& faces) {
    gxmeasure::Surface s;
    s.points.resize(size_t(vertices.shape[0]));
    for (int64_t i = 0; i < vertices.shape[0]; ++i)
        s.points[size_t(i)] = {vertices.get(i, 0), vertices.get(i, 1), vertices.get(i, 2)};
    s.triangles.reserve(size_t(faces.shape[0]));
    for (int64_t f = 0; f < faces.shape[0]; ++f) {
        std::array<uint32_t, 3> t{};
        bool ok = true;
        for (int c = 0; c < 3; ++c) {
            const int64_t v = faces.index(f, c);
            ok = ok && v >= 0 && v < vertices.shape[0];
            t[size_t(c)] = uint32_t(v);
        }
        if (ok)
            s.triangles.push_back(t);
    }
    return s;
}

gxmeasure::Surface levelSurface(const EngineSession& session) {
    const gdx::Model& model = session.model();
    gxmeasure::Surface s;
    std::vector<int64_t> number(model.numVertices(), -1);
    s.triangles.reserve(session.engine().activeFaces());
    for (uint32_t f = 0; f < model.numFaces(); ++f) {
        if (!model.faceState(f).active)
            continue;
        std::array<uint32_t, 3> t{};
        for (uint32_t c = 0; c < 3; ++c) {
            const uint32_t v = model.face(f).vertex(c);
            if (number[v] < 0) {
                number[v] = int64_t(s.points.size());
                const gdx::FloatPoint& p = model.positions()[v];
                s.points.push_back({p.x, p.y, p.z});
            }
            t[c] = uint32_t(number[v]);
        }
        s.triangles.push_back(t);
    }
    return s;
}

namespace {

// The search measures each candidate with few samples; the level it ends on is measured in full.
const gxmeasure::Sampling SEARCH_SAMPLING{4000, 1000};

gxmeasure::Distance measureLevel(EngineSession& session, const gxmeasure::SurfaceTree& input, uint32_t triangles,
                                 const gxmeasure::Sampling& sampling = {}) {
    session.reachTriangles(triangles);
    const gxmeasure::Surface level = levelSurface(session);
    return gxmeasure::measureDistance(input, gxmeasure::SurfaceTree(level, sampling));
}

} // namespace

gxmeasure::Distance coarsestWithin(EngineSession& session, const gxmeasure::Surface& inputSurface, double bound) {
    const uint32_t all = session.model().numFaces();
    const gxmeasure::SurfaceTree coarse(inputSurface, SEARCH_SAMPLING);
    // Invariant: `ok` triangles measured within the bound (all of them is the input itself), `bad`
    // triangles beyond it (0: none found yet).
    uint32_t ok = all, bad = 0;
    for (uint32_t count = all / 2; count >= 1; count /= 2) {
        if (measureLevel(session, coarse, count, SEARCH_SAMPLING).hausdorff > bound) {
            bad = count;
            break;
        }
        ok = count;
    }
    // Bisect while the two counts are more than about 1 % apart.
    while (bad > 0 && ok - bad > 1 && ok - bad > ok / 100) {
        const uint32_t mid = bad + (ok - bad) / 2;
        (measureLevel(session, coarse, mid, SEARCH_SAMPLING).hausdorff > bound ? bad : ok) = mid;
    }
    // Moving up undoes contractions and moving down may then choose differently, so the level
    // finally reached is measured again, and finer levels are taken until one is within.
    const gxmeasure::SurfaceTree input(inputSurface);
    for (;;) {
        const gxmeasure::Distance d = measureLevel(session, input, ok);
        if (d.hausdorff <= bound || ok >= all)
            return d;
        ok = std::min(all, ok + (all - ok) / 8 + 1);
    }
}

} // namespace gradixpy
