#include "SurfaceDistance.h"

#include "ClosestTree.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>
#include <tbb/partitioner.h>

#include <algorithm>
#include <cmath>

namespace gxmeasure {
namespace {

using TriangleTree = ClosestTree<IndexedTriangles>;
using SegmentTree = ClosestTree<std::vector<Segment>>;

Point toPoint(const std::array<double, 3>& p) {
    return Point(p[0], p[1], p[2]);
}

double triangleArea(const Point& a, const Point& b, const Point& c) {
    return 0.5 * std::sqrt(CGAL::cross_product(b - a, c - a).squared_length());
}

// Barycentric coordinates of p (on or near the triangle's plane) in abc.
std::array<double, 3> barycentric(const Point& p, const Triangle& t) {
    const auto v0 = t[1] - t[0], v1 = t[2] - t[0], v2 = p - t[0];
    const double d00 = v0 * v0, d01 = v0 * v1, d11 = v1 * v1, d20 = v2 * v0, d21 = v2 * v1;
    const double det = d00 * d11 - d01 * d01;
    if (det <= 0.0)
        return {1.0, 0.0, 0.0};
    const double v = (d11 * d20 - d01 * d21) / det, w = (d00 * d21 - d01 * d20) / det;
    return {1.0 - v - w, v, w};
}

// Deterministic chunks: the same split (and so the same closest-point hints) on every run.
constexpr size_t CHUNK = 2048;

// A sample this close to the other surface, relative to its box diagonal, counts as lying on it.
constexpr double TOUCH = 1e-9;

} // namespace

// Samples of one surface: spread over the triangles (weighted by area, with their triangle and
// barycentric position for UV lookup), and points only counted for the Hausdorff distance.
struct SurfaceTree::Samples {
    std::vector<Point> points;
    std::vector<double> weights;             // 0 for points that only count for the maximum
    std::vector<uint32_t> triangle;          // only when the surface has UVs
    std::vector<std::array<double, 3>> bary; // only when the surface has UVs
    std::vector<Point> border;
};

struct SurfaceTree::Trees {
    explicit Trees(const Surface& surface) : triangles(surface.points) {}
    IndexedTriangles triangles;    // non-degenerate ones
    std::vector<uint32_t> source;  // their index in the surface
    std::vector<Segment> segments; // open border edges
    std::unique_ptr<TriangleTree> triangleTree;
    std::unique_ptr<SegmentTree> segmentTree;
};

Sampling scaledSampling(const Sampling& most, uint64_t triangles) {
    return {
        std::clamp<uint64_t>(16 * triangles, std::min<uint64_t>(20000, most.surfaceSamples),
                             most.surfaceSamples),
        std::clamp<uint64_t>(4 * triangles, std::min<uint64_t>(2000, most.borderSamples), most.borderSamples),
        most.pointSamples};
}

SurfaceTree::SurfaceTree(const Surface& surface, const Sampling& sampling)
    : surface_(surface), trees_(new Trees(surface)), samples_(new Samples) {
    Trees& trees = *trees_;
    double totalArea = 0.0;
    std::vector<double> areas(surface.triangles.size());
    trees.triangles.corners.reserve(surface.triangles.size());
    trees.source.reserve(surface.triangles.size());
    for (size_t i = 0; i < surface.triangles.size(); ++i) {
        const auto& t = surface.triangles[i];
        const Triangle tri(toPoint(surface.points[t[0]]), toPoint(surface.points[t[1]]),
                           toPoint(surface.points[t[2]]));
        areas[i] = triangleArea(tri[0], tri[1], tri[2]);
        totalArea += areas[i];
        if (!tri.is_degenerate()) {
            trees.triangles.corners.push_back(t);
            trees.source.push_back(static_cast<uint32_t>(i));
        }
    }
    // The triangle tree is built while the samples and the border tree are made.
    tbb::parallel_invoke(
        [&] {
            // Every query starts from the previous sample's closest point.
            trees.triangleTree = std::make_unique<TriangleTree>(trees.triangles);
        },
        [&] { sample(surface, sampling, areas, totalArea); });
}

void SurfaceTree::sample(const Surface& surface, const Sampling& sampling, const std::vector<double>& areas,
                         double totalArea) {
    Trees& trees = *trees_;
    Samples& samples = *samples_;
    // Every used point, then each triangle cut into k*k similar pieces sampled at their centroids.
    std::vector<bool> used(surface.points.size(), false);
    for (const auto& t : surface.triangles)
        for (uint32_t v : t)
            used[v] = true;
    const double perArea = totalArea > 0.0 ? static_cast<double>(sampling.surfaceSamples) / totalArea : 0.0;
    // Past the sample budget, every stride-th triangle stands for its neighbours in the mean (the
    // points above still reach every corner for the Hausdorff distance).
    const size_t stride =
        std::max<size_t>(1, surface.triangles.size() / std::max<uint64_t>(sampling.surfaceSamples, 1));
    const auto piecesOf = [&](size_t i) {
        return std::max(1, std::min(256, static_cast<int>(std::ceil(std::sqrt(areas[i] * perArea)))));
    };
    size_t count = static_cast<size_t>(std::count(used.begin(), used.end(), true));
    if (sampling.pointSamples > 0 && count > sampling.pointSamples) {
        // Every step-th used point only.
        const size_t step = (count + sampling.pointSamples - 1) / sampling.pointSamples;
        size_t seen = 0;
        for (size_t v = 0; v < used.size(); ++v)
            if (used[v])
                used[v] = seen++ % step == 0;
        count = static_cast<size_t>(std::count(used.begin(), used.end(), true));
    }
    for (size_t i = 0; i < surface.triangles.size(); i += stride)
        count += static_cast<size_t>(piecesOf(i) * piecesOf(i));
    samples.points.reserve(count);
    samples.weights.reserve(count);
    // Where each sample lies is kept only to look its UV up.
    const bool uvs = surface.hasUVs();
    if (uvs) {
        samples.triangle.reserve(count);
        samples.bary.reserve(count);
    }
    for (size_t v = 0; v < used.size(); ++v)
        if (used[v]) {
            samples.points.push_back(toPoint(surface.points[v]));
            samples.weights.push_back(0.0);
            if (uvs) {
                samples.triangle.push_back(0);
                samples.bary.push_back({1.0, 0.0, 0.0});
            }
        }
    for (size_t i = 0; i < surface.triangles.size(); i += stride) {
        const auto& t = surface.triangles[i];
        const Point a = toPoint(surface.points[t[0]]), b = toPoint(surface.points[t[1]]),
                    c = toPoint(surface.points[t[2]]);
        const int k = piecesOf(i);
        const double weight = areas[i] * static_cast<double>(stride) / (k * k);
        for (int row = 0; row < k; ++row)
            for (int col = 0; col + row < k; ++col)
                for (int flip = 0; flip < (col + row + 1 < k ? 2 : 1); ++flip) {
                    // Upright piece (flip 0) or the inverted one beside it; centroid in grid units.
                    const double u = flip ? (row + 2.0 / 3.0) / k : (row + 1.0 / 3.0) / k;
                    const double v = flip ? (col + 2.0 / 3.0) / k : (col + 1.0 / 3.0) / k;
                    const double w0 = 1.0 - u - v;
                    samples.points.push_back(Point(w0 * a.x() + u * b.x() + v * c.x(),
                                                   w0 * a.y() + u * b.y() + v * c.y(),
                                                   w0 * a.z() + u * b.z() + v * c.z()));
                    samples.weights.push_back(weight);
                    if (uvs) {
                        samples.triangle.push_back(static_cast<uint32_t>(i));
                        samples.bary.push_back({w0, u, v});
                    }
                }
    }

    const auto border = surface.borderEdges();
    double borderLength = 0.0;
    for (const auto& e : border) {
        trees.segments.emplace_back(toPoint(surface.points[e[0]]), toPoint(surface.points[e[1]]));
        borderLength += std::sqrt(trees.segments.back().squared_length());
    }
    trees.segmentTree = std::make_unique<SegmentTree>(trees.segments);
    const double perLength =
        borderLength > 0.0 ? static_cast<double>(sampling.borderSamples) / borderLength : 0.0;
    for (const Segment& s : trees.segments) {
        const int n = std::max(1, static_cast<int>(std::ceil(std::sqrt(s.squared_length()) * perLength)));
        for (int i = 0; i < n; ++i)
            samples.border.push_back(s.source() + (s.to_vector() * (static_cast<double>(i) / n)));
    }
}

SurfaceTree::~SurfaceTree() = default;

struct Measurer {
    // From `from`'s samples to `to`'s triangles; UV differences into uvDiff when both have UVs.
    static OneSided surface(const SurfaceTree& from, const SurfaceTree& to, std::vector<double>* uvDiff) {
        const auto& s = *from.samples_;
        const auto& t = *to.trees_;
        OneSided result;
        result.samples = s.points.size();
        if (s.points.empty() || t.triangles.empty())
            return result;
        const bool uvs = uvDiff != nullptr;
        const double touch = TOUCH * to.surface_.diagonal();
        std::vector<double> distance(s.points.size());
        if (uvs)
            uvDiff->assign(s.points.size(), 0.0);
        // The weighted samples first. The others (the points) only count for the largest distance:
        // the distance to the previous point's closest triangle bounds a point's own from above, so
        // a point whose bound is within the largest distance found so far cannot change the result
        // and is not searched for (about half the points of a million-triangle scan measured
        // against its simplification).
        tbb::parallel_for(
            tbb::blocked_range<size_t>(0, s.points.size(), CHUNK),
            [&](const tbb::blocked_range<size_t>& range) {
                // The first sample of a chunk starts from any point of the surface.
                TriangleTree::Hit hint{t.triangles[0][0], 0};
                for (size_t i = range.begin(); i != range.end(); ++i) {
                    if (!(s.weights[i] > 0.0))
                        continue;
                    hint = t.triangleTree->closest(s.points[i], hint, touch);
                    distance[i] = std::sqrt(CGAL::squared_distance(s.points[i], hint.point));
                    if (uvs && s.weights[i] > 0.0) {
                        const size_t found = hint.index;
                        const auto b = barycentric(hint.point, t.triangles[found]);
                        const auto& fromUV = from.surface_.uvs;
                        const auto& toUV = to.surface_.uvs;
                        const size_t fa = 3 * size_t(s.triangle[i]), ta = 3 * size_t(t.source[found]);
                        double du = 0.0, dv = 0.0;
                        for (int c = 0; c < 3; ++c) {
                            du += s.bary[i][c] * fromUV[fa + c][0] - b[c] * toUV[ta + c][0];
                            dv += s.bary[i][c] * fromUV[fa + c][1] - b[c] * toUV[ta + c][1];
                        }
                        (*uvDiff)[i] = std::sqrt(du * du + dv * dv);
                    }
                }
            },
            tbb::simple_partitioner());
        const double weightedLargest = *std::max_element(distance.begin(), distance.end());
        tbb::parallel_for(
            tbb::blocked_range<size_t>(0, s.points.size(), CHUNK),
            [&](const tbb::blocked_range<size_t>& range) {
                TriangleTree::Hit hint{t.triangles[0][0], 0};
                double largest = weightedLargest;
                for (size_t i = range.begin(); i != range.end(); ++i) {
                    if (s.weights[i] > 0.0)
                        continue;
                    const double bound = std::sqrt(
                        CGAL::squared_distance(s.points[i], closestOn(s.points[i], t.triangles[hint.index])));
                    if (bound <= largest) {
                        distance[i] = bound;
                        continue;
                    }
                    hint = t.triangleTree->closest(s.points[i], hint, touch);
                    distance[i] = std::sqrt(CGAL::squared_distance(s.points[i], hint.point));
                    largest = std::max(largest, distance[i]);
                }
            },
            tbb::simple_partitioner());
        double sum = 0.0, squares = 0.0, weights = 0.0;
        for (size_t i = 0; i < distance.size(); ++i) {
            result.hausdorff = std::max(result.hausdorff, distance[i]);
            sum += s.weights[i] * distance[i];
            squares += s.weights[i] * distance[i] * distance[i];
            weights += s.weights[i];
        }
        if (weights > 0.0) {
            result.mean = sum / weights;
            result.rms = std::sqrt(squares / weights);
        }
        return result;
    }

    // From `from`'s border samples to `to`'s border edges: {largest, mean}.
    static std::array<double, 2> border(const SurfaceTree& from, const SurfaceTree& to) {
        const auto& s = from.samples_->border;
        const auto& t = *to.trees_->segmentTree;
        const auto& segments = to.trees_->segments;
        const double touch = TOUCH * to.surface_.diagonal();
        std::vector<double> distance(s.size());
        tbb::parallel_for(
            tbb::blocked_range<size_t>(0, s.size(), CHUNK),
            [&](const tbb::blocked_range<size_t>& range) {
                // The first sample of a chunk starts from any point of the borders.
                SegmentTree::Hit hint{segments.front().source(), 0};
                for (size_t i = range.begin(); i != range.end(); ++i) {
                    hint = t.closest(s[i], hint, touch);
                    distance[i] = std::sqrt(CGAL::squared_distance(s[i], hint.point));
                }
            },
            tbb::simple_partitioner());
        double largest = 0.0, sum = 0.0;
        for (double d : distance)
            largest = std::max(largest, d), sum += d;
        return {largest, s.empty() ? 0.0 : sum / static_cast<double>(s.size())};
    }

    static bool hasBorder(const SurfaceTree& tree) { return !tree.trees_->segments.empty(); }

    static void uvStats(const SurfaceTree& from, const std::vector<double>& diff, double& largest,
                        double& sum, double& weights) {
        const auto& w = from.samples_->weights;
        for (size_t i = 0; i < diff.size(); ++i)
            if (w[i] > 0.0)
                largest = std::max(largest, diff[i]), sum += w[i] * diff[i], weights += w[i];
    }
};

Distance measureDistance(const SurfaceTree& a, const SurfaceTree& b) {
    Distance d;
    d.diagonal = a.surface().diagonal();
    d.hasUVs = a.surface().hasUVs() && b.surface().hasUVs();
    std::vector<double> uvAB, uvBA;
    d.aToB = Measurer::surface(a, b, d.hasUVs ? &uvAB : nullptr);
    d.bToA = Measurer::surface(b, a, d.hasUVs ? &uvBA : nullptr);
    d.hausdorff = std::max(d.aToB.hausdorff, d.bToA.hausdorff);
    d.mean = 0.5 * (d.aToB.mean + d.bToA.mean);
    d.rms = std::sqrt(0.5 * (d.aToB.rms * d.aToB.rms + d.bToA.rms * d.bToA.rms));
    if (d.hasUVs) {
        double sumAB = 0.0, wAB = 0.0, sumBA = 0.0, wBA = 0.0;
        Measurer::uvStats(a, uvAB, d.uvMax, sumAB, wAB);
        Measurer::uvStats(b, uvBA, d.uvMax, sumBA, wBA);
        d.uvMean = 0.5 * ((wAB > 0.0 ? sumAB / wAB : 0.0) + (wBA > 0.0 ? sumBA / wBA : 0.0));
    }
    d.hasBorder = Measurer::hasBorder(a) && Measurer::hasBorder(b);
    if (d.hasBorder) {
        const auto ab = Measurer::border(a, b), ba = Measurer::border(b, a);
        d.borderHausdorff = std::max(ab[0], ba[0]);
        d.borderMean = 0.5 * (ab[1] + ba[1]);
    }
    return d;
}

Distance measureDistance(const Surface& a, const Surface& b, const Sampling& sampling) {
    const SurfaceTree ta(a, sampling), tb(b, sampling);
    return measureDistance(ta, tb);
}

} // namespace gxmeasure
