// SimplifyCommand: `gradix simplify IN -o OUT` — every mesh of IN simplified to a percentage of the
// scene's triangles (spent across meshes by error), to a total triangle or vertex count reached by
// searching the resolution, or to the coarsest result within an error bound, and written back into
// one file with every UV set, colour and material. The report gives the measured error.
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
    std::string maxError_;
    bool allowLarger_ = false, allowDrop_ = false;
    GraphOptions graph_;
};

} // namespace gradix
