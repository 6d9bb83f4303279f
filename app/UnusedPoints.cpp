#include "UnusedPoints.h"

#include <cstdint>
#include <vector>

namespace gradix {

void removeUnusedPoints(gxhost::SceneMesh& mesh) {
    std::vector<int32_t> newIndex(mesh.points.size(), -1);
    for (int32_t v : mesh.faceVertices)
        if (v >= 0 && static_cast<size_t>(v) < newIndex.size())
            newIndex[static_cast<size_t>(v)] = 0;
    int32_t next = 0;
    std::vector<std::array<float, 3>> kept;
    for (size_t i = 0; i < newIndex.size(); ++i)
        if (newIndex[i] == 0) {
            newIndex[i] = next++;
            kept.push_back(mesh.points[i]);
        }
    if (kept.size() == mesh.points.size())
        return;
    for (int32_t& v : mesh.faceVertices)
        if (v >= 0 && static_cast<size_t>(v) < newIndex.size())
            v = newIndex[static_cast<size_t>(v)];
    mesh.points = std::move(kept);
}

} // namespace gradix
