// BatchReport: the per-asset rows of a `gradix batch` run and their three forms — the table on
// standard output, the JSON report and the CSV file beside the manifest (one line per output file).
// A row's details come from the JSON report of the gradix process that made the asset: source
// counts, per-output counts, the measured error when the tool reports one, and seconds.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace gradix {

struct AssetRow {
    std::string relative;
    std::string status;                                // "done", "up to date" or "failed"
    std::string reason;                                // when failed
    nlohmann::json details = nlohmann::json::object(); // {source, outputs: [...], seconds}
};

// The details of an asset from its process's report; output files become `outFolder`-relative
// paths (`relativeDir` is the asset's folder below OUT).
nlohmann::json detailsFromReport(const std::string& report, const std::string& relativeDir,
                                 const std::vector<std::string>& files, double seconds);

std::string tableText(const std::vector<AssetRow>& rows);
std::string csvText(const std::vector<AssetRow>& rows);
nlohmann::json jsonRows(const std::vector<AssetRow>& rows);

} // namespace gradix
