// BatchManifest: what a `gradix batch` output folder already holds, in OUT/gradix-manifest.json.
// Per asset (by source-relative path): the input's size, modification time and content hash, the
// hashes of its resolved recipe and of the tool, the output files (relative to OUT) and the
// asset's report row. An asset is up to date when all three hashes match and its outputs exist; the
// input is hashed again only when its size or time changed, so a run with nothing to do only stats.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gradix {

struct ManifestEntry {
    uint64_t size = 0;
    int64_t mtime = 0; // nanoseconds
    std::string inputHash, recipeHash, toolHash;
    std::vector<std::string> outputs;
    nlohmann::json report; // source counts, per-output counts and error, seconds
};

class BatchManifest {
public:
    explicit BatchManifest(std::string folder);
    // A missing manifest is an empty one; an unreadable one is an error.
    bool load(std::string& error);
    // Written to a temporary name and renamed over the old one.
    bool save(std::string& error) const;
    std::string path() const;

    // The entry for `relative` when the asset is up to date; fills `fresh` with the input's current
    // size, time and hash (hashing only when they moved) either way.
    const ManifestEntry* upToDate(const std::string& relative, const std::string& input,
                                  const std::string& recipeHash, const std::string& toolHash,
                                  ManifestEntry& fresh, std::string& error) const;

    std::map<std::string, ManifestEntry> entries;

private:
    std::string folder_;
};

// 16 hex digits of the XXH3 hash of a file's bytes or of a text.
bool hashFile(const std::string& path, std::string& hash, std::string& error);
std::string hashText(const std::string& text);

} // namespace gradix
