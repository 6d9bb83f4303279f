#include "BatchManifest.h"

#include <xxhash.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gradix {
namespace {

std::string hex(XXH64_hash_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool statFile(const std::string& path, uint64_t& size, int64_t& mtime) {
    std::error_code ec;
    size = fs::file_size(path, ec);
    if (ec)
        return false;
    mtime = fs::last_write_time(path, ec).time_since_epoch().count();
    return !ec;
}

} // namespace

bool hashFile(const std::string& path, std::string& hash, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read";
        return false;
    }
    XXH3_state_t* state = XXH3_createState();
    XXH3_64bits_reset(state);
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        XXH3_64bits_update(state, buffer.data(), static_cast<size_t>(in.gcount()));
    }
    hash = hex(XXH3_64bits_digest(state));
    XXH3_freeState(state);
    return true;
}

std::string hashText(const std::string& text) {
    return hex(XXH3_64bits(text.data(), text.size()));
}

BatchManifest::BatchManifest(std::string folder) : folder_(std::move(folder)) {}

std::string BatchManifest::path() const {
    return (fs::path(folder_) / "gradix-manifest.json").string();
}

bool BatchManifest::load(std::string& error) {
    std::ifstream in(path());
    if (!in)
        return true;
    const nlohmann::json manifest = nlohmann::json::parse(in, nullptr, false);
    if (manifest.is_discarded() || !manifest.contains("assets") || !manifest["assets"].is_object()) {
        error = path() + ": not a gradix manifest (delete it, or use another output folder)";
        return false;
    }
    for (const auto& item : manifest["assets"].items()) {
        const nlohmann::json& value = item.value();
        ManifestEntry entry;
        entry.size = value.value("size", uint64_t(0));
        entry.mtime = value.value("mtime", int64_t(0));
        entry.inputHash = value.value("input", "");
        entry.recipeHash = value.value("recipe", "");
        entry.toolHash = value.value("tool", "");
        entry.outputs = value.value("outputs", std::vector<std::string>());
        entry.report = value.value("report", nlohmann::json::object());
        entries[item.key()] = std::move(entry);
    }
    return true;
}

bool BatchManifest::save(std::string& error) const {
    nlohmann::json assets = nlohmann::json::object();
    for (const auto& [relative, entry] : entries)
        assets[relative] = {{"size", entry.size},       {"mtime", entry.mtime},
                            {"input", entry.inputHash}, {"recipe", entry.recipeHash},
                            {"tool", entry.toolHash},   {"outputs", entry.outputs},
                            {"report", entry.report}};
    const std::string temporary = path() + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary);
        out << nlohmann::json{{"assets", assets}}.dump(1) << "\n";
        if (!out.flush()) {
            error = temporary + ": cannot write the manifest";
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path().c_str()) != 0) {
        error = path() + ": cannot write the manifest";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

const ManifestEntry* BatchManifest::upToDate(const std::string& relative, const std::string& input,
                                             const std::string& recipeHash, const std::string& toolHash,
                                             ManifestEntry& fresh, std::string& error) const {
    if (!statFile(input, fresh.size, fresh.mtime)) {
        error = input + ": cannot read";
        return nullptr;
    }
    const auto found = entries.find(relative);
    const ManifestEntry* old = found == entries.end() ? nullptr : &found->second;
    if (old && old->size == fresh.size && old->mtime == fresh.mtime)
        fresh.inputHash = old->inputHash;
    else if (!hashFile(input, fresh.inputHash, error))
        return nullptr;
    if (!old || old->inputHash != fresh.inputHash || old->recipeHash != recipeHash ||
        old->toolHash != toolHash)
        return nullptr;
    for (const std::string& output : old->outputs)
        if (!fs::exists(fs::path(folder_) / output))
            return nullptr;
    return old;
}

} // namespace gradix
