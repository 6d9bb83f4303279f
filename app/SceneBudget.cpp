#include "SceneBudget.h"

#include <algorithm>
#include <cmath>

namespace gradix {
namespace {

// Resolutions each mesh's error curve is measured at, finest first.
const float LADDER[] = {100.0f, 70.0f, 50.0f, 35.0f, 25.0f, 17.0f, 12.0f, 8.0f,
                        5.0f,   3.0f,  2.0f,  1.0f,  0.5f,  0.2f,  0.0f};

} // namespace

uint64_t SceneBudget::floorOf(size_t mesh) const {
    return allowDrop_ ? 0 : std::min<uint64_t>(countMesh(set_.sources()[mesh].scene).triangles, PART_FLOOR);
}

bool SceneBudget::meshError(size_t mesh, float resolution, bool estimate, uint64_t& triangles,
                            double& hausdorff, std::string& error) {
    LodGraph& graph = set_.graphs()[mesh];
    MeshCounts counts;
    gxhost::SceneMesh result;
    if (!graph.setResolution(resolution, error) || !graph.evaluate(counts, error) ||
        !graph.resultMesh(false, result, error)) {
        error = set_.input() + ": " + error;
        return false;
    }
    triangles = counts.triangles;
    hausdorff = meter_.mesh(mesh, result, estimate).hausdorff;
    return true;
}

bool SceneBudget::measureCurves(std::string& error) {
    if (!curves_.empty())
        return true;
    curves_.assign(set_.graphs().size(), {});
    for (size_t i = 0; i < curves_.size(); ++i) {
        double worst = 0.0;
        for (float r : LADDER) {
            uint64_t triangles = 0;
            double hausdorff = 0.0;
            if (!meshError(i, r, true, triangles, hausdorff, error))
                return false;
            worst = std::max(worst, hausdorff);
            curves_[i].push_back({r, triangles, worst});
        }
    }
    return true;
}

float SceneBudget::resolutionAt(size_t mesh, double level, double& triangles) const {
    const std::vector<Point>& curve = curves_[mesh];
    const uint64_t floor = floorOf(mesh);
    size_t k = 0; // the coarsest point within the level and the floor
    while (k + 1 < curve.size() && curve[k + 1].error <= level && curve[k + 1].triangles >= floor)
        ++k;
    triangles = static_cast<double>(curve[k].triangles);
    if (k + 1 == curve.size() || curve[k + 1].triangles < floor)
        return curve[k].resolution;
    // Between this point and the next coarser one, by how much of the error step the level allows.
    const Point &fine = curve[k], &coarse = curve[k + 1];
    const double step = coarse.error - fine.error;
    const double share = step > 0.0 ? (level - fine.error) / step : 0.0;
    triangles = fine.triangles + share * (double(coarse.triangles) - double(fine.triangles));
    return fine.resolution + static_cast<float>(share) * (coarse.resolution - fine.resolution);
}

bool SceneBudget::apply(std::string& error) {
    for (size_t i = 0; i < resolutions_.size(); ++i)
        if (!set_.graphs()[i].setResolution(resolutions_[i], error)) {
            error = set_.input() + ": " + error;
            return false;
        }
    return keepParts(error);
}

bool SceneBudget::spendPercent(double percent, std::string& error) {
    const size_t meshes = set_.graphs().size();
    resolutions_.assign(meshes, static_cast<float>(percent));
    if (meshes > 1 && percent < 100.0) {
        if (!measureCurves(error))
            return false;
        const double target = percent / 100.0 * static_cast<double>(set_.sourceCounts().triangles);
        auto total = [&](double level) {
            double sum = 0.0, triangles = 0.0;
            for (size_t i = 0; i < meshes; ++i) {
                resolutionAt(i, level, triangles);
                sum += triangles;
            }
            return sum;
        };
        double lo = 0.0, hi = 0.0;
        for (const auto& curve : curves_)
            hi = std::max(hi, curve.back().error);
        // The smallest error level whose meshes fit in the target.
        for (int i = 0; i < 60 && total(lo) > target; ++i) {
            const double mid = 0.5 * (lo + hi);
            (total(mid) > target ? lo : hi) = mid;
        }
        const double level = total(lo) <= target ? lo : hi;
        double triangles = 0.0;
        for (size_t i = 0; i < meshes; ++i)
            resolutions_[i] = resolutionAt(i, level, triangles);
    }
    return apply(error);
}

bool SceneBudget::meetError(double bound, gxmeasure::Distance& found, std::string& error) {
    const size_t meshes = set_.graphs().size();
    resolutions_.assign(meshes, 100.0f);
    // Each mesh's bound shrinks when the whole scene, sampled more finely, still measures above it.
    double meshBound = bound;
    for (int attempt = 0; attempt < 6; ++attempt) {
        for (size_t i = 0; i < meshes; ++i) {
            // Invariant: `ok` measured within the bound (100 % is the source itself), `bad` not.
            float ok = 100.0f, bad = -1.0f;
            for (float r : LADDER) {
                uint64_t triangles = 0;
                double hausdorff = 0.0;
                if (!meshError(i, r, false, triangles, hausdorff, error))
                    return false;
                if (hausdorff > meshBound || triangles < floorOf(i)) {
                    bad = r;
                    break;
                }
                ok = r;
            }
            for (int step = 0; step < 8 && bad >= 0.0f && ok - bad > 0.05f; ++step) {
                const float mid = 0.5f * (ok + bad);
                uint64_t triangles = 0;
                double hausdorff = 0.0;
                if (!meshError(i, mid, false, triangles, hausdorff, error))
                    return false;
                (hausdorff > meshBound || triangles < floorOf(i) ? bad : ok) = mid;
            }
            resolutions_[i] = ok;
        }
        // Measured as it will be written: settled, as a fresh graph gives it at these resolutions
        // (the search moved up and down, and the guards' verdicts depend on the path taken).
        std::vector<gxhost::SceneMesh> results;
        if (!apply(error) || !set_.settle(error) || !set_.results(false, results, error))
            return false;
        found = meter_.scene(results);
        if (found.hausdorff <= bound)
            return true;
        meshBound *= 0.7;
    }
    // The source itself measures zero.
    resolutions_.assign(meshes, 100.0f);
    std::vector<gxhost::SceneMesh> results;
    if (!apply(error) || !set_.results(false, results, error))
        return false;
    found = meter_.scene(results);
    return true;
}

bool SceneBudget::keepParts(std::string& error) {
    resolutions_.resize(set_.graphs().size(), 100.0f);
    for (size_t i = 0; i < set_.graphs().size(); ++i) {
        LodGraph& graph = set_.graphs()[i];
        const uint64_t floor = floorOf(i);
        MeshCounts counts;
        if (!graph.evaluate(counts, error)) {
            error = set_.input() + ": " + error;
            return false;
        }
        if (counts.triangles >= floor)
            continue;
        // Lowest resolution that keeps the floor: below half a source face nothing changes.
        float lo = graph.resolution(), hi = 100.0f;
        const float faceStep =
            100.0f / static_cast<float>(std::max<uint64_t>(countMesh(set_.sources()[i].scene).triangles, 1));
        while (hi - lo > 0.5f * faceStep) {
            const float mid = 0.5f * (lo + hi);
            if (!graph.setResolution(mid, error) || !graph.evaluate(counts, error)) {
                error = set_.input() + ": " + error;
                return false;
            }
            (counts.triangles >= floor ? hi : lo) = mid;
        }
        if (!graph.setResolution(hi, error) || !graph.evaluate(counts, error)) {
            error = set_.input() + ": " + error;
            return false;
        }
        // Below the floor even whole (the node drops a source's degenerate faces): the part keeps
        // everything it has, unless that is nothing (invalid polygons are skipped too).
        if (counts.triangles == 0) {
            error = set_.input() + ": mesh '" + set_.sources()[i].scene.name +
                    "': none of its faces can be used (degenerate or invalid polygons), nothing to keep";
            return false;
        }
        resolutions_[i] = hi;
    }
    return true;
}

} // namespace gradix
