// BatchRecipe: what `gradix batch` does to each asset — the target (a chain of levels, or one
// simplified file), the output format and the simplification settings — with overrides for the
// assets under given folders. It comes from the command line or from a TOML or JSON file of the same
// shape (TOML shown):
//
//   levels = [50, 25, 10]            # lods; or percent = 10 / triangles = N / vertices = N (simplify)
//   format = "glb"
//   extensions = ["glb", "obj"]      # the files a source folder contributes
//   [settings]                       # options of lods / simplify, without the dashes
//   placement = "endpoint"
//   uvs = false                      # a flag: true gives --uvs, false --no-uvs
//   [folders."props/small"]          # assets under this folder of the source
//   levels = [50]
//   settings = { boundary-weight = 100 }
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace gradix {

// One asset's work: the gradix subcommand and its arguments after IN and -o, and the output format.
struct AssetPlan {
    std::string command;           // "lods" or "simplify"
    std::vector<std::string> args; // e.g. --levels 50,25 --format glb --placement endpoint
    std::string format;            // explicit format, or "" for the input's (else glb)
    std::string canonical;         // the resolved recipe as canonical text, for the manifest's hash
};

class BatchRecipe {
public:
    // Reads a .toml or .json recipe (by extension); false with a one-line error.
    bool load(const std::string& path, std::string& error);
    // Sets a top-level key (from the command line, which wins over the file). Target keys replace
    // the whole target; "settings" entries are merged.
    void set(const std::string& key, const nlohmann::json& value);
    void setSetting(const std::string& name, const nlohmann::json& value);

    // The file extensions a source folder contributes (lower case, without the dot).
    std::vector<std::string> extensions() const;
    // The plan for the asset at `relative` (source-relative, '/' separated). `tool` is the gradix
    // command line; options the chosen subcommand does not have are errors.
    bool plan(const std::string& relative, const CLI::App& tool, AssetPlan& plan, std::string& error) const;

private:
    bool check(const nlohmann::json& recipe, const std::string& where, std::string& error) const;

    nlohmann::json base_ = nlohmann::json::object();
};

} // namespace gradix
