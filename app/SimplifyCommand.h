// SimplifyCommand: `gradix simplify IN -o OUT` — every mesh of IN simplified with the same settings
// to a percentage of its triangles, or to a total triangle or vertex count reached by searching the
// resolution, and written back into one file with every UV set, colour and material.
#pragma once

#include "GlobalOptions.h"
#include "GraphOptions.h"

#include <cstdint>
#include <string>

namespace CLI {
class App;
}

namespace gradix {

class SimplifyCommand {
public:
    explicit SimplifyCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

private:
    CLI::App* command_;
    std::string input_, output_, format_;
    double percent_ = -1.0;
    uint64_t triangles_ = 0, vertices_ = 0;
    GraphOptions graph_;
};

} // namespace gradix
