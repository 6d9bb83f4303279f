// BatchCommand: `gradix batch SRC -o OUT` — every asset of a folder (or of a list of files) through
// lods or simplify by one recipe, in local worker processes (--jobs) or as Dask tasks on a cluster
// (--scheduler). Outputs mirror SRC's tree under OUT; a manifest in OUT skips the assets whose input,
// recipe and tool are unchanged; one asset's failure is reported with its reason and the rest goes
// on. The report is a table (or --json) and OUT/gradix-report.csv.
#pragma once

#include "BatchRecipe.h"
#include "GlobalOptions.h"
#include "GraphOptions.h"

#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace gradix {

class BatchCommand {
public:
    explicit BatchCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

private:
    bool buildRecipe(BatchRecipe& recipe, std::string& error) const;

    CLI::App* parent_;
    CLI::App* command_;
    std::string source_, output_, recipeFile_, format_, scheduler_;
    std::vector<double> levels_;
    std::vector<std::string> extensions_;
    double percent_ = -1.0;
    uint64_t triangles_ = 0, vertices_ = 0;
    unsigned jobs_ = 0;
    bool force_ = false;
    GraphOptions graph_; // parsed only to be handed on to each asset's command
    std::vector<CLI::Option*> graphOptions_;
};

} // namespace gradix
