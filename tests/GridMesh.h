// gridMesh: an n x n grid of quads as a host mesh, the surface most tests start from; each test
// places the points and adds the attributes it needs.
#pragma once

#include "SceneMesh.h"

#include <functional>
#include <string>

namespace gxtest {

// Point (x, y), for x and y in 0..n, is point y (n + 1) + x, placed by `at`; each quad's corners run
// counter-clockwise from (x, y), and quad (x, y) is face y n + x, without a material. One UV set
// "map1" holds (x / n, y / n) at every point.
inline gxhost::SceneMesh gridMesh(const std::string& name, int n,
                                  const std::function<std::array<float, 3>(float x, float y)>& at) {
    gxhost::SceneMesh m;
    m.name = name;
    m.uvSets.push_back({"map1", {}, {}, {}});
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            m.points.push_back(at(float(x), float(y)));
            m.uvSets[0].u.push_back(float(x) / float(n));
            m.uvSets[0].v.push_back(float(y) / float(n));
        }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int a = y * (n + 1) + x;
            m.faceCounts.push_back(4);
            m.faceMaterial.push_back(-1);
            for (int c : {a, a + 1, a + n + 2, a + n + 1}) {
                m.faceVertices.push_back(c);
                m.uvSets[0].uvIds.push_back(c);
            }
        }
    return m;
}

} // namespace gxtest
