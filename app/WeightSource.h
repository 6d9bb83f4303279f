// WeightSource: the painted per-vertex weights the tool feeds into the main node, read from a text
// file (one value per vertex, meshes of the input file back to back in file order) or taken from
// one channel of the source's vertex colours. A painted value p makes a vertex p × 100 + 1 times as
// expensive to contract, so painted regions keep their detail longest.
#pragma once

#include "Session.h"

#include <string>
#include <vector>

namespace gradix {

class WeightSource {
public:
    // Values separated by white space; `#` starts a comment that runs to the end of the line.
    bool readFile(const std::string& path, std::string& error);
    // `channel` is one of r, g, b, a: the mean of that channel over the colours at each vertex
    // (0 where a vertex has none).
    void fromColors(const std::vector<SourceMesh>& meshes, char channel);

    // The values cut into one list per mesh; the meshes' vertex counts must add up to the values read.
    bool split(const std::vector<SourceMesh>& meshes, std::vector<std::vector<double>>& perMesh,
               std::string& error) const;

private:
    std::string origin_;
    std::vector<double> values_;
};

} // namespace gradix
