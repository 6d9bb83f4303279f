#include "MeshGenerator.h"

#include <cmath>

namespace gdx::bench {

namespace {
constexpr double kPi = 3.14159265358979323846;

struct Grid {
    uint32_t nu, nv; // quads around / along
    bool closed;
};

// Position and normal at grid point (i, j) of the surface.
void sample(const Grid& g, uint32_t i, uint32_t j, FloatPoint& p, DoubleVector& n) {
    const double u = double(i) / g.nu, v = double(j) / g.nv;
    if (!g.closed) {
        // A 10 x 10 sheet with bumps at several scales.
        const double x = 10 * u, y = 10 * v;
        const double z = 0.6 * std::sin(1.3 * x) * std::cos(0.9 * y) + 0.15 * std::sin(7.1 * x + 3.3 * y);
        const double dzdx =
            0.6 * 1.3 * std::cos(1.3 * x) * std::cos(0.9 * y) + 0.15 * 7.1 * std::cos(7.1 * x + 3.3 * y);
        const double dzdy =
            -0.6 * 0.9 * std::sin(1.3 * x) * std::sin(0.9 * y) + 0.15 * 3.3 * std::cos(7.1 * x + 3.3 * y);
        p = FloatPoint{float(x), float(y), float(z), 1.0f};
        const double len = std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
        n = DoubleVector{-dzdx / len, -dzdy / len, 1 / len};
        return;
    }
    const double a = 2 * kPi * u, b = 2 * kPi * v, R = 3.0;
    const double r = 1.0 + 0.1 * std::sin(5 * a) * std::cos(3 * b);
    p = FloatPoint{float((R + r * std::cos(b)) * std::cos(a)), float((R + r * std::cos(b)) * std::sin(a)),
                   float(r * std::sin(b)), 1.0f};
    n = DoubleVector{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
}
} // namespace

std::unique_ptr<Model> generateMesh(Surface surface, uint32_t triangles) {
    Grid g;
    g.closed = surface == Surface::CLOSED_TORUS;
    const double quads = triangles / 2.0;
    g.nv = uint32_t(std::sqrt(quads / (g.closed ? 2.0 : 1.0)));
    g.nu = uint32_t(quads / g.nv);
    const uint32_t rowLength = g.closed ? g.nu : g.nu + 1;
    const uint32_t rows = g.closed ? g.nv : g.nv + 1;
    auto index = [&](uint32_t i, uint32_t j) {
        return (g.closed ? j % g.nv : j) * rowLength + (g.closed ? i % g.nu : i);
    };

    auto model = std::make_unique<Model>(rowLength * rows, 2 * g.nu * g.nv);
    std::vector<DoubleVector> normals(rowLength * rows);
    for (uint32_t j = 0; j < rows; ++j)
        for (uint32_t i = 0; i < rowLength; ++i) {
            FloatPoint p;
            sample(g, i, j, p, normals[j * rowLength + i]);
            model->positions().push_back(p);
        }
    model->setNumUVSets(2);

    // UV islands of 64 x 64 quads: seams along their borders. A crease along one row and a colour
    // border along one column.
    const uint32_t island = 64;
    const uint32_t creaseRow = g.nv / 3, colourColumn = g.nu / 4;
    FloatArray uv(4);
    auto corner = [&](uint32_t qi, uint32_t qj, uint32_t i, uint32_t j) {
        const uint32_t v = index(i, j);
        const uint32_t ii = qi / island, jj = qj / island;
        uv[0] = 0.9f * float(i - ii * island) / island + 0.05f;
        uv[1] = 0.9f * float(j - jj * island) / island + 0.05f;
        uv[2] = float(i) / float(g.nu);
        uv[3] = float(j) / float(g.nv);
        DoubleVector n = normals[v];
        if (qj < creaseRow && j == creaseRow)
            n = DoubleVector{n.x * 0.8, n.y * 0.8 + 0.6, n.z * 0.8}; // a different normal below the crease
        const Color c = qi < colourColumn ? Color{0.9f, 0.2f, 0.1f, 1.0f} : Color{0.1f, 0.3f, 0.9f, 1.0f};
        return model->addWedge(v, n, c, uv);
    };
    for (uint32_t qj = 0; qj < g.nv; ++qj)
        for (uint32_t qi = 0; qi < g.nu; ++qi) {
            const uint32_t a = index(qi, qj), b = index(qi + 1, qj), c = index(qi, qj + 1),
                           d = index(qi + 1, qj + 1);
            const uint32_t wa = corner(qi, qj, qi, qj), wb = corner(qi, qj, qi + 1, qj);
            const uint32_t wc = corner(qi, qj, qi, qj + 1), wd = corner(qi, qj, qi + 1, qj + 1);
            model->addFace(a, b, d, wa, wb, wd, true);
            model->addFace(a, d, c, wa, wd, wc, true);
        }
    model->splitDisconnectedWedges();
    return model;
}

} // namespace gdx::bench
