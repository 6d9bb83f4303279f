// InfoCommand: `gradix info IN` — per mesh of the file: vertices, faces, triangles, UV set names,
// whether it has normals and colours, its materials, bounding box, and open-border and
// non-manifold edge counts. Reads the file the same way the other subcommands do.
#pragma once

#include "GlobalOptions.h"

#include <string>

namespace CLI {
class App;
}

namespace gradix {

class InfoCommand {
public:
    explicit InfoCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

private:
    CLI::App* command_;
    std::string input_;
};

} // namespace gradix
