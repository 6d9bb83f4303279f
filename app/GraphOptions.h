// GraphOptions: the options that shape the simplification graphs, shared by simplify, lods and
// render: the main node's settings, painted weights, whether materials are carried over and whether a
// large mesh goes down in two halves first.
#pragma once

#include "GraphSet.h"
#include "NodeSettings.h"

namespace CLI {
class App;
}

namespace gradix {

struct GraphOptions {
    NodeSettings settings;
    WeightOptions weights;
    bool noMaterials = false;
    bool strict = false; // what the output cannot hold fails the run instead of a warning
    bool halves = true;  // see HalvesPass.h

    // `writesMeshes`: the options of commands that write meshes (materials, strictness, halves) too.
    void addOptions(CLI::App& command, bool writesMeshes = true);
    // Has `set` take a large mesh most of the way to `percent` or `triangles` in halves as it reads it
    // (see GraphSet::reduceAhead), unless switched off or weights are painted.
    void reduceAhead(GraphSet& set, double percent, uint64_t triangles) const;
};

} // namespace gradix
