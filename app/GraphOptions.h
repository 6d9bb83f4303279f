// GraphOptions: the options that shape the simplification graphs, shared by simplify, lods and
// render: the main node's settings, painted weights and whether materials are carried over.
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

    void addOptions(CLI::App& command, bool withMaterials = true);
};

} // namespace gradix
