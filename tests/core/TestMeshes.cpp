#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace gdx::test {

std::unique_ptr<Model> buildModel(const MeshSource& source) {
    auto model = std::make_unique<Model>(uint32_t(source.points.size()), uint32_t(source.triangles.size()));
    for (const FloatPoint& p : source.points)
        model->positions().push_back(p);
    model->setNumUVSets(source.uvSets);
    for (const Triangle& t : source.triangles) {
        uint32_t w[3];
        for (int i = 0; i < 3; ++i)
            w[i] = model->addWedge(t.v[i], t.c[i].normal, t.c[i].color, t.c[i].uvs);
        model->addFace(t.v[0], t.v[1], t.v[2], w[0], w[1], w[2], true);
    }
    model->splitDisconnectedWedges();
    return model;
}

void expectSameModel(const Model& a, const Model& b, float positionTolerance) {
    ASSERT_EQ(a.numFaces(), b.numFaces());
    for (uint32_t f = 0; f < a.numFaces(); ++f) {
        ASSERT_EQ(a.faceState(f).active, b.faceState(f).active) << "face " << f;
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_EQ(a.face(f).vertex(i), b.face(f).vertex(i)) << "face " << f;
            ASSERT_EQ(a.face(f).wedge(i), b.face(f).wedge(i)) << "face " << f;
        }
    }
    ASSERT_EQ(a.numVertices(), b.numVertices());
    for (uint32_t v = 0; v < a.numVertices(); ++v) {
        ASSERT_EQ(a.vertexState(v).active, b.vertexState(v).active) << "vertex " << v;
        std::vector<uint32_t> fa(a.vertexFaces(v).begin(), a.vertexFaces(v).end()),
            fb(b.vertexFaces(v).begin(), b.vertexFaces(v).end());
        std::sort(fa.begin(), fa.end());
        std::sort(fb.begin(), fb.end());
        ASSERT_EQ(fa, fb) << "vertex " << v;
        ASSERT_NEAR(a.positions()[v].x, b.positions()[v].x, positionTolerance) << "vertex " << v;
        ASSERT_NEAR(a.positions()[v].y, b.positions()[v].y, positionTolerance) << "vertex " << v;
        ASSERT_NEAR(a.positions()[v].z, b.positions()[v].z, positionTolerance) << "vertex " << v;
    }
}

std::set<std::pair<uint32_t, uint32_t>> queuedPairs(const QSlim& q) {
    std::set<std::pair<uint32_t, uint32_t>> pairs;
    for (const Heap::Item& item : q.queue().items())
        pairs.insert({q.edge(item.edge).first, q.edge(item.edge).second});
    return pairs;
}

MeshSource torus(uint32_t rings, uint32_t segments) {
    MeshSource m;
    const double R = 3.0, r = 1.0, pi = 3.14159265358979323846;
    auto index = [&](uint32_t i, uint32_t j) { return (i % rings) * segments + (j % segments); };
    for (uint32_t i = 0; i < rings; ++i)
        for (uint32_t j = 0; j < segments; ++j) {
            const double u = 2 * pi * i / rings, v = 2 * pi * j / segments;
            m.points.push_back(FloatPoint{float((R + r * std::cos(v)) * std::cos(u)),
                                          float((R + r * std::cos(v)) * std::sin(u)), float(r * std::sin(v)),
                                          1.0f});
        }
    auto corner = [&](uint32_t i, uint32_t j) {
        const double pu = 2 * pi * (i % rings) / rings, pv = 2 * pi * (j % segments) / segments;
        Corner c;
        c.normal = {std::cos(pv) * std::cos(pu), std::cos(pv) * std::sin(pu), std::sin(pv)};
        // UVs run 0..1 and wrap: the last row/column of quads uses u = 1 (v = 1) where the first
        // uses 0, so the wrap is a UV seam.
        c.uvs = {float(i) / rings, float(j) / segments};
        return c;
    };
    for (uint32_t i = 0; i < rings; ++i)
        for (uint32_t j = 0; j < segments; ++j) {
            const uint32_t a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
            m.triangles.push_back({{a, b, c}, {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)}});
            m.triangles.push_back({{a, c, d}, {corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)}});
        }
    return m;
}

MeshSource seamedGridWithBowtie(uint32_t n) {
    MeshSource m;
    m.uvSets = 2;
    const uint32_t row = n + 1;
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x) {
            // A gentle bump so the surface is not flat.
            const float z = 0.3f * std::sin(0.5f * float(x)) * std::cos(0.4f * float(y));
            m.points.push_back(FloatPoint{float(x), float(y), z, 1.0f});
        }
    auto corner = [&](uint32_t x, uint32_t y, uint32_t quadX, uint32_t quadY) {
        Corner c;
        const float island = quadX < n / 2 ? 0.0f : 0.5f;
        const float u = island + 0.45f * float(x) / float(n), v = float(y) / float(n);
        c.uvs = {u, v, float(x) * 0.1f, float(y) * 0.1f};
        // A crease: the quads below row n/3 face one way, those above another.
        c.normal = quadY < n / 3 ? DoubleVector{0.0, 0.0, 1.0} : DoubleVector{0.0, 0.6, 0.8};
        // A colour border along column n/4.
        c.color = quadX < n / 4 ? Color{1.0f, 0.0f, 0.0f, 1.0f} : Color{0.0f, 0.0f, 1.0f, 1.0f};
        return c;
    };
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = y * row + x, b = a + 1, c = a + row, d = c + 1;
            m.triangles.push_back(
                {{a, b, d}, {corner(x, y, x, y), corner(x + 1, y, x, y), corner(x + 1, y + 1, x, y)}});
            m.triangles.push_back(
                {{a, d, c}, {corner(x, y, x, y), corner(x + 1, y + 1, x, y), corner(x, y + 1, x, y)}});
        }

    // The second grid touches the first only at its corner vertex (n, n): a bowtie there.
    const uint32_t shared = n * row + n;
    const uint32_t k = 4, base = uint32_t(m.points.size());
    auto second = [&](uint32_t x, uint32_t y) -> uint32_t {
        if (x == 0 && y == 0)
            return shared;
        return base + y * (k + 1) + x - 1;
    };
    for (uint32_t y = 0; y <= k; ++y)
        for (uint32_t x = 0; x <= k; ++x)
            if (x || y)
                m.points.push_back(FloatPoint{float(n + x), float(n + y), 1.0f + 0.1f * float(x), 1.0f});
    for (uint32_t y = 0; y < k; ++y)
        for (uint32_t x = 0; x < k; ++x) {
            // Same UVs, normal and colour as the first grid's corner at the shared vertex, so the
            // shared vertex needs no second wedge from this grid alone.
            Corner c = corner(n, n, n - 1, n - 1);
            m.triangles.push_back({{second(x, y), second(x + 1, y), second(x + 1, y + 1)}, {c, c, c}});
            m.triangles.push_back({{second(x, y), second(x + 1, y + 1), second(x, y + 1)}, {c, c, c}});
        }
    return m;
}

} // namespace gdx::test
