// NodeSettings: every setting of the main "Gradix" node as the tool offers it, with the node's own
// defaults. UVs, normals and colours default to "when the source has them", so that what the file holds
// is kept without asking. `addOptions` puts them on a CLI11 command; `apply` writes them to a node.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace gradix {

struct NodeSettings {
    int vertexPlacement = 0; // 0 optimal, 1 end or mid, 2 endpoint
    int edgeWeights = 0;     // 0 avg.vertex, 1 max.vertex, 2 min.vertex
    int weightCombining = 0; // 0 average, 1 max, 2 min
    int useUVs = 0;          // > 0 on, < 0 off, 0 when the source mesh has UVs
    int useNormals = 0;      // > 0 on, < 0 off, 0 when the source mesh has normals
    int useVertexColors = 0; // > 0 on, < 0 off, 0 when the source mesh has colours
    bool clampUVs = false;
    bool unitizeNormals = true;
    bool clampVertexColors = true;
    double lambdaUVs = 1.0, lambdaNormals = 1.0, lambdaColors = 1.0;
    double boundaryConstraint = 1000.0, discontinuityConstraint = 1000.0;
    bool blockSolve = true; // the tool's default; the node's is off
    // Engine guards: the node has them off, the tool on.
    bool preventFolds = true;
    double foldAngle = 60.0;
    bool keepTopology = true;
    bool lockBorder = false;
    bool holdBorder = true;
    bool flatNotSeam = true; // the tool's default; the node's is off

    void addOptions(CLI::App& command);
    // Writes every setting to the Gradix node `node`; UVs, normals and colours as resolved for a
    // source that has (or lacks) them. False with the host's error.
    bool apply(const std::string& node, bool sourceHasUVs, bool sourceHasNormals, bool sourceHasColors,
               std::string& error) const;
    // The node's attribute values `apply` writes, by attribute name, in the node's order.
    std::vector<std::pair<const char*, double>> values(bool sourceHasUVs, bool sourceHasNormals,
                                                       bool sourceHasColors) const;
};

} // namespace gradix
