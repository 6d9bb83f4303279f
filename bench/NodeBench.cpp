// The node layer's cost on top of the core: a generated 1,000,000-triangle mesh with UVs goes
// through a "Gradix" node in the embedded host (first evaluation at resolution 10, then a scrub
// 10 -> 50 -> 10), and the same work is done on the core alone in the same run.
//
//   build/bench/node_bench
#include "HierarchicWeight.h"
#include "PeakMemory.h"
#include "ResolutionChanger.h"
#include "SceneMesh.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <maya/MFnMesh.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {
constexpr uint32_t kQuadsPerSide = 707; // 2 x 707^2 = 999,698 triangles

gxhost::SceneMesh sheet() {
    gxhost::SceneMesh m;
    m.name = "sheet";
    const uint32_t n = kQuadsPerSide;
    gxhost::SceneUVSet uv;
    uv.name = "map1";
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x) {
            const float fx = 10.0f * float(x) / float(n), fy = 10.0f * float(y) / float(n);
            m.points.push_back({fx, fy, 0.6f * std::sin(1.3f * fx) * std::cos(0.9f * fy)});
            uv.u.push_back(float(x) / float(n));
            uv.v.push_back(float(y) / float(n));
        }
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const int a = int(y * (n + 1) + x);
            for (int c : {a, a + 1, a + int(n) + 2, a + int(n) + 1}) {
                m.faceVertices.push_back(c);
                uv.uvIds.push_back(c);
            }
            m.faceCounts.push_back(4);
            m.faceMaterial.push_back(-1);
        }
    m.uvSets.push_back(uv);
    return m;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int outputTriangles() {
    MObject mesh;
    gxhost::getAttr("gx.outMesh", mesh);
    return mesh.isNull() ? -1 : MFnMesh(mesh).numPolygons();
}

// The same source on the core alone: each quad split along the same diagonal.
std::unique_ptr<gdx::Model> coreModel(const gxhost::SceneMesh& m) {
    auto model = std::make_unique<gdx::Model>(uint32_t(m.points.size()), uint32_t(2 * m.faceCounts.size()));
    for (const auto& p : m.points)
        model->positions().push_back(gdx::FloatPoint{p[0], p[1], p[2], 1.0f});
    model->setNumUVSets(1);
    gdx::FloatArray uv(2);
    const gdx::DoubleVector none{0, 0, 0};
    const gdx::Color white{1, 1, 1, 1};
    auto wedge = [&](size_t corner) {
        const int id = m.uvSets[0].uvIds[corner];
        uv[0] = m.uvSets[0].u[size_t(id)];
        uv[1] = m.uvSets[0].v[size_t(id)];
        return model->addWedge(uint32_t(m.faceVertices[corner]), none, white, uv);
    };
    for (size_t q = 0; q < m.faceCounts.size(); ++q) {
        const size_t c = 4 * q;
        const uint32_t v[4] = {uint32_t(m.faceVertices[c]), uint32_t(m.faceVertices[c + 1]),
                               uint32_t(m.faceVertices[c + 2]), uint32_t(m.faceVertices[c + 3])};
        const uint32_t w0 = wedge(c), w1 = wedge(c + 1), w2 = wedge(c + 2), w3 = wedge(c + 3);
        model->addFace(v[0], v[1], v[2], w0, w1, w2, true);
        model->addFace(v[0], v[2], v[3], w0, w2, w3, true);
    }
    model->splitDisconnectedWedges();
    return model;
}

// The argument 1 has engine and node replay undone contractions when scrubbing (replayScrub).
void BM_NodeVersusCore(benchmark::State& state) {
    const bool replay = state.range(0) != 0;
    for (auto _ : state) {
        const gxhost::SceneMesh source = sheet();

        // Core alone: build, set up, contract to 10 %, then scrub. Its objects are released before
        // the node run, so that both work in the same amount of memory.
        double coreFirst = 0, coreScrub = 0;
        uint32_t coreFaces = 0;
        {
            auto start = std::chrono::steady_clock::now();
            auto model = coreModel(source);
            model->setAttributeUse(true, false, false);
            gdx::HierarchicWeight weights(model->numVertices());
            gdx::QSlim engine(*model, weights);
            engine.setReplayScrub(replay);
            engine.setup();
            gdx::ContractionSequence sequence;
            sequence.reserve(engine.queue().size());
            gdx::changeResolution(engine, sequence, 0.1);
            coreFirst = since(start);
            start = std::chrono::steady_clock::now();
            gdx::changeResolution(engine, sequence, 0.5);
            gdx::changeResolution(engine, sequence, 0.1);
            coreScrub = since(start);
            coreFaces = engine.activeFaces();
        }

        // The node graph (mesh creation excluded).
        gxhost::resetScene();
        if (!gxhost::loadPlugin(GRADIX_PLUGIN)) {
            state.SkipWithError("the plug-in did not load");
            return;
        }
        gxhost::createMeshNode(source);
        gxhost::createNode("Gradix", "gx");
        gxhost::setAttr("gx.replayScrub", replay ? 1 : 0);
        gxhost::connect("sheet.outMesh", "gx.inMesh");
        gxhost::setAttr("gx.resolution", 10);
        auto start = std::chrono::steady_clock::now();
        const int nodeFaces = outputTriangles();
        const double nodeFirst = since(start);
        start = std::chrono::steady_clock::now();
        gxhost::setAttr("gx.resolution", 50);
        outputTriangles();
        gxhost::setAttr("gx.resolution", 10);
        outputTriangles();
        const double nodeScrub = since(start);
        gxhost::resetScene();

        state.SetIterationTime(nodeFirst + nodeScrub);
        state.counters["core_first_s"] = coreFirst;
        state.counters["node_first_s"] = nodeFirst;
        state.counters["first_overhead_pct"] = 100.0 * (nodeFirst / coreFirst - 1.0);
        state.counters["core_scrub_s"] = coreScrub;
        state.counters["node_scrub_s"] = nodeScrub;
        state.counters["scrub_overhead_pct"] = 100.0 * (nodeScrub / coreScrub - 1.0);
        state.counters["core_faces"] = coreFaces;
        state.counters["node_faces"] = nodeFaces;
    }
}
} // namespace

BENCHMARK(BM_NodeVersusCore)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
