#include "OutputFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace gradix {

OutputFiles::~OutputFiles() {
    if (kept_)
        return;
    std::error_code ignored;
    for (auto it = files_.rbegin(); it != files_.rend(); ++it)
        fs::remove(*it, ignored);
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        fs::remove(*it, ignored); // only removes it when empty
}

bool OutputFiles::createFolder(const std::string& folder, std::string& error) {
    std::error_code code;
    if (fs::is_directory(folder, code))
        return true;
    std::vector<fs::path> missing;
    for (fs::path p = fs::path(folder).lexically_normal(); !p.empty() && !fs::exists(p, code);
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    if (!fs::create_directories(folder, code) && !fs::is_directory(folder)) {
        error = folder + ": cannot create the folder (" + code.message() + ")";
        return false;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        folders_.push_back(it->string());
    return true;
}

void OutputFiles::add(const std::string& path) {
    for (const std::string& file : filesOf(path))
        if (std::find(files_.begin(), files_.end(), file) == files_.end())
            files_.push_back(file);
}

std::vector<std::string> OutputFiles::filesOf(const std::string& path) {
    fs::path p(path);
    std::string extension = p.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::vector<std::string> files{path};
    if (extension == ".gltf")
        files.push_back(fs::path(p).replace_extension(".bin").string());
    else if (extension == ".obj")
        files.push_back(fs::path(p).replace_extension(".mtl").string());
    return files;
}

} // namespace gradix
