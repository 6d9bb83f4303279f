// "setupShaders" at production size: a 200,000-face two-material source and a 20,000-face target
// over the same bumpy surface, matched through the plug-in library as the host runs it.
#include "SceneMesh.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

// nx x ny quads over [-1, 1]^2 with a height field; faces left of x = 0 use material 0.
gxhost::SceneMesh surface(int nx, int ny, const std::string& name, bool materials) {
    gxhost::SceneMesh m;
    m.name = name;
    for (int y = 0; y <= ny; ++y)
        for (int x = 0; x <= nx; ++x) {
            const float px = -1.0f + 2.0f * float(x) / float(nx), py = -1.0f + 2.0f * float(y) / float(ny);
            m.points.push_back({px, py, 0.2f * std::sin(3.0f * px) * std::cos(2.0f * py)});
        }
    if (materials)
        m.materials = {"matLeft", "matRight"};
    for (int y = 0; y < ny; ++y)
        for (int x = 0; x < nx; ++x) {
            const int a = y * (nx + 1) + x;
            m.faceCounts.push_back(4);
            for (int c : {a, a + 1, a + nx + 2, a + nx + 1})
                m.faceVertices.push_back(c);
            m.faceMaterial.push_back(materials ? (2 * x < nx ? 0 : 1) : -1);
        }
    return m;
}

void BM_SetupShaders_200k_x_20k(benchmark::State& state) {
    gxhost::resetScene();
    if (!gxhost::loadPlugin(GRADIX_PLUGIN)) {
        state.SkipWithError("the plug-in did not load");
        return;
    }
    gxhost::createMeshNode(surface(500, 400, "src", true));
    gxhost::createMeshNode(surface(160, 125, "dst", false));
    for (auto _ : state) {
        if (!gxhost::executeCommand("setupShaders src dst")) {
            state.SkipWithError("setupShaders failed");
            break;
        }
    }
    state.counters["sourceFaces"] = 500 * 400;
    state.counters["targetFaces"] = 160 * 125;
    gxhost::resetScene();
}
BENCHMARK(BM_SetupShaders_200k_x_20k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
