// Builds a core model from a generated grid with a UV seam and prints its counts.
#include "Model.h"

#include <cstdio>

int main() {
    const uint32_t n = 64; // grid of n x n quads
    const uint32_t verts = (n + 1) * (n + 1);
    gdx::Model model(verts, 2 * n * n);
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x)
            model.positions().push_back(gdx::FloatPoint{float(x), float(y), 0.0f, 1.0f});
    model.setNumUVSets(1);
    const gdx::DoubleVector up{0.0, 0.0, 1.0};
    const gdx::Color white{1.0f, 1.0f, 1.0f, 1.0f};
    auto corner = [&](uint32_t x, uint32_t y, uint32_t qx) {
        // The left and right halves are separate UV islands: a seam runs down the middle.
        const float island = qx < n / 2 ? 0.0f : 0.5f;
        return model.addWedge(y * (n + 1) + x, up, white, {island + 0.5f * float(x) / n, float(y) / n});
    };
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = y * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
            model.addFace(a, b, d, corner(x, y, x), corner(x + 1, y, x), corner(x + 1, y + 1, x), true);
            model.addFace(a, d, c, corner(x, y, x), corner(x + 1, y + 1, x), corner(x, y + 1, x), true);
        }
    model.splitDisconnectedWedges();
    std::printf("vertices %u  wedges %u  faces %u\n", model.numVertices(), model.numWedges(),
                model.numFaces());
    return 0;
}
