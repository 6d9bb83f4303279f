// BatchSources: the assets of a `gradix batch` run — every file under a folder (recursively, by
// extension, hidden entries and the output folder left out) or the files a text list names (one
// path a line, relative to the list's folder, '#' comments). Each asset has a source-relative path,
// which its outputs mirror under the output folder. The order is sorted, so runs are reproducible.
#pragma once

#include <string>
#include <vector>

namespace gradix {

struct Asset {
    std::string input;    // the file as given to gradix (absolute)
    std::string relative; // '/'-separated path below the source (or the list's folder)
};

bool collectAssets(const std::string& source, const std::vector<std::string>& extensions,
                   const std::string& outputFolder, std::vector<Asset>& assets, std::string& error);

} // namespace gradix
