// LodsCommand: `gradix lods IN -o DIR --levels 50,25,10` — one graph per mesh, the levels reached
// in decreasing order on the same engine (each level contracts on from the one before), one file
// per level holding every mesh, and a table of level, triangles, vertices and seconds; optionally a
// contact sheet of the levels (--sheet) and an HTML report with a 3D viewer (--report).
#pragma once

#include "GlobalOptions.h"
#include "GraphOptions.h"
#include "PictureView.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace gradix {

class LodsCommand {
public:
    explicit LodsCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

    // DIR/<stem of IN>_err<bound>.<extension> for a level built to an error bound ("0.5%" -> "0.5pc").
    static std::string errorLevelPath(const std::string& folder, const std::string& input,
                                      const std::string& bound, const std::string& extension);
    // DIR/<stem of IN>_lod<level>.<extension>
    static std::string levelPath(const std::string& folder, const std::string& input, double level,
                                 const std::string& extension);

private:
    CLI::App* command_;
    std::string input_, folder_, format_, sheet_, report_;
    std::vector<double> levels_{50, 25, 10};
    std::vector<std::string> errors_;
    bool allowDrop_ = false;
    GraphOptions graph_;
    PictureView view_;
};

} // namespace gradix
