// Benchmarks of the simplification core on generated meshes: setup alone, 100 % -> 10 % and -> 1 %
// (setup included), and a resolution scrub 10 % -> 50 % -> 10 % on an engine already at 10 %
// (pricing each step's pairs at once, and replaying).
// Each reports triangles per second of input and the process's peak memory per input triangle.
//
//   build/bench/core_bench                          # all, 1,000,000 triangles
//   build/bench/core_bench --benchmark_filter=Scrub
#include "HierarchicWeight.h"
#include "MeshGenerator.h"
#include "PeakMemory.h"
#include "ResolutionChanger.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

using namespace gdx;
using gdx::bench::Surface;

namespace {
constexpr uint32_t kTriangles = 1000000;

enum Attributes { UVS = 0, UVS_NORMALS_COLOURS = 1 };

struct Engine {
    std::unique_ptr<Model> model;
    std::unique_ptr<HierarchicWeight> weights;
    std::unique_ptr<QSlim> qslim;
    ContractionSequence sequence;

    explicit Engine(std::unique_ptr<Model> m, Attributes attributes) : model(std::move(m)) {
        model->setAttributeUse(true, attributes == UVS_NORMALS_COLOURS, attributes == UVS_NORMALS_COLOURS);
        weights = std::make_unique<HierarchicWeight>(model->numVertices());
        qslim = std::make_unique<QSlim>(*model, *weights);
    }
    void setup() {
        qslim->setup();
        sequence.reserve(qslim->queue().size());
    }
};

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void report(benchmark::State& state, double inputTriangles, double elapsed, uint32_t facesLeft) {
    state.SetIterationTime(elapsed);
    state.counters["tri_per_s"] = inputTriangles / elapsed;
    state.counters["bytes_per_tri"] = gdx::bench::peakMemoryBytes() / inputTriangles;
    state.counters["faces_left"] = facesLeft;
}

// The second argument 0 runs the engine on one thread (QSlim::setPartnerThread), as BM_Decimate's
// third.
void BM_Setup(benchmark::State& state) {
    for (auto _ : state) {
        gdx::bench::resetPeakMemory();
        Engine e(gdx::bench::generateMesh(Surface::OPEN_SHEET, kTriangles), Attributes(state.range(0)));
        e.qslim->setPartnerThread(state.range(1) != 0);
        const auto start = std::chrono::steady_clock::now();
        e.setup();
        report(state, e.model->numFaces(), seconds(start), e.qslim->activeFaces());
    }
}

void BM_Decimate(benchmark::State& state) {
    const double fraction = state.range(1) / 100.0;
    for (auto _ : state) {
        gdx::bench::resetPeakMemory();
        Engine e(gdx::bench::generateMesh(Surface::OPEN_SHEET, kTriangles), Attributes(state.range(0)));
        e.qslim->setPartnerThread(state.range(2) != 0);
        const auto start = std::chrono::steady_clock::now();
        e.setup();
        changeResolution(*e.qslim, e.sequence, fraction);
        report(state, e.model->numFaces(), seconds(start), e.qslim->activeFaces());
    }
}

// The second argument 1 has the engine replay undone contractions (QSlim::setReplayScrub).
void BM_Scrub(benchmark::State& state) {
    for (auto _ : state) {
        gdx::bench::resetPeakMemory();
        Engine e(gdx::bench::generateMesh(Surface::OPEN_SHEET, kTriangles), Attributes(state.range(0)));
        e.qslim->setReplayScrub(state.range(1) != 0);
        e.setup();
        changeResolution(*e.qslim, e.sequence, 0.1);
        const auto start = std::chrono::steady_clock::now();
        changeResolution(*e.qslim, e.sequence, 0.5);
        const double up = seconds(start);
        changeResolution(*e.qslim, e.sequence, 0.1);
        report(state, e.model->numFaces(), seconds(start), e.qslim->activeFaces());
        state.counters["up_s"] = up;
    }
}

void BM_DecimateClosed(benchmark::State& state) {
    for (auto _ : state) {
        gdx::bench::resetPeakMemory();
        Engine e(gdx::bench::generateMesh(Surface::CLOSED_TORUS, kTriangles), UVS);
        const auto start = std::chrono::steady_clock::now();
        e.setup();
        changeResolution(*e.qslim, e.sequence, 0.1);
        report(state, e.model->numFaces(), seconds(start), e.qslim->activeFaces());
    }
}
// One polygon of n corners on a circle, triangulated into a fan around corner 0, to 20 %: the
// cost of a vertex of very high degree. `hub_share` is the share of contractions that touch it.
// The second argument 1 turns the fold and topology guards on, as the tool has them.
void BM_Fan(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    const bool guarded = state.range(1) != 0;
    for (auto _ : state) {
        Model model(n, n - 2);
        for (uint32_t i = 0; i < n; ++i) {
            const double a = 6.283185307179586 * i / n;
            model.positions().push_back(FloatPoint{float(std::cos(a)), float(std::sin(a)), 0.0f, 1.0f});
        }
        model.setNumUVSets(1);
        auto wedge = [&](uint32_t v) {
            const FloatArray uv{model.positions()[v].x, model.positions()[v].y};
            return model.addWedge(v, DoubleVector{0, 0, 1}, Color{1, 1, 1, 1}, uv);
        };
        for (uint32_t i = 1; i + 1 < n; ++i)
            model.addFace(0, i, i + 1, wedge(0), wedge(i), wedge(i + 1), true);
        model.splitDisconnectedWedges();
        model.setAttributeUse(true, false, false);
        HierarchicWeight weights(n);
        QSlim engine(model, weights);
        if (guarded)
            engine.setGuards(60.0, true, false);
        ContractionSequence sequence;
        const auto start = std::chrono::steady_clock::now();
        engine.setup();
        changeResolution(engine, sequence, 0.2);
        state.SetIterationTime(seconds(start));
        uint32_t hub = 0;
        for (size_t i = 0; i < sequence.size(); ++i)
            hub += sequence[i].keptVertex == 0 || sequence[i].removedVertex == 0;
        state.counters["faces_left"] = engine.activeFaces();
        state.counters["hub_share"] = double(hub) / double(sequence.size());
    }
}
} // namespace

BENCHMARK(BM_Fan)
    ->Args({8000, 0})
    ->Args({32000, 0})
    ->Args({8000, 1})
    ->Args({32000, 1})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Setup)
    ->Args({UVS, 1})
    ->Args({UVS, 0})
    ->Args({UVS_NORMALS_COLOURS, 1})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decimate)
    ->Args({UVS, 10, 1})
    ->Args({UVS, 10, 0})
    ->Args({UVS, 1, 1})
    ->Args({UVS_NORMALS_COLOURS, 10, 1})
    ->Args({UVS_NORMALS_COLOURS, 10, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scrub)
    ->Args({UVS, 0})
    ->Args({UVS, 1})
    ->Args({UVS_NORMALS_COLOURS, 0})
    ->Args({UVS_NORMALS_COLOURS, 1})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecimateClosed)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
