// CompareCommand: `gradix compare A B` — the two-sided surface distance between two mesh files
// (every mesh of each file, placed by its transforms): Hausdorff, mean and RMS, absolute and as %
// of A's bounding-box diagonal, the distance between their open borders, and the UV deviation
// where both carry UVs.
#pragma once

#include "GlobalOptions.h"

#include <cstdint>
#include <string>

namespace CLI {
class App;
}

namespace gradix {

class CompareCommand {
public:
    explicit CompareCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

private:
    CLI::App* command_;
    std::string first_, second_;
    uint64_t samples_ = 0; // 0: as many as each surface's size needs, as simplify and lods measure
};

} // namespace gradix
