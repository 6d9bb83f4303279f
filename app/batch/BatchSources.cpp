#include "BatchSources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace gradix {
namespace {

std::string lowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    if (!extension.empty())
        extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    return extension;
}

// `path` below `root`, or (outside it) the absolute path without its root, so outputs never leave
// the output folder.
std::string relativeTo(const fs::path& path, const fs::path& root) {
    const fs::path relative = path.lexically_relative(root);
    if (!relative.empty() && *relative.begin() != "..")
        return relative.generic_string();
    return path.relative_path().generic_string();
}

} // namespace

bool collectAssets(const std::string& source, const std::vector<std::string>& extensions,
                   const std::string& outputFolder, std::vector<Asset>& assets, std::string& error) {
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(fs::absolute(source), ec);
    const fs::path output = fs::weakly_canonical(fs::absolute(outputFolder), ec);
    if (fs::is_directory(root)) {
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            const fs::path& path = it->path();
            const bool hidden = path.filename().string().front() == '.';
            if (it->is_directory(ec)) {
                if (hidden || path == output)
                    it.disable_recursion_pending();
                continue;
            }
            const std::string extension = lowerExtension(path);
            if (!hidden && it->is_regular_file(ec) &&
                std::find(extensions.begin(), extensions.end(), extension) != extensions.end())
                assets.push_back({path.string(), relativeTo(path, root)});
        }
        if (ec) {
            error = source + ": " + ec.message();
            return false;
        }
    } else if (fs::is_regular_file(root)) {
        std::ifstream list(root);
        std::string line;
        const fs::path base = root.parent_path();
        for (int number = 1; std::getline(list, line); ++number) {
            const size_t first = line.find_first_not_of(" \t\r");
            const size_t last = line.find_last_not_of(" \t\r");
            if (first == std::string::npos || line[first] == '#')
                continue;
            const fs::path path = (base / line.substr(first, last - first + 1)).lexically_normal();
            if (!fs::is_regular_file(path)) {
                error = source + ":" + std::to_string(number) + ": no file '" + path.string() + "'";
                return false;
            }
            assets.push_back({path.string(), relativeTo(path, base)});
        }
    } else {
        error = source + ": neither a folder nor a list of files";
        return false;
    }
    std::sort(assets.begin(), assets.end(),
              [](const Asset& a, const Asset& b) { return a.relative < b.relative; });
    assets.erase(std::unique(assets.begin(), assets.end(),
                             [](const Asset& a, const Asset& b) { return a.relative == b.relative; }),
                 assets.end());
    return true;
}

} // namespace gradix
