#include "OutputFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gradix {

OutputFiles::~OutputFiles() {
    if (committed_)
        return;
    for (auto it = files_.rbegin(); it != files_.rend(); ++it)
        unlink(it->path.c_str());
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        rmdir(it->path.c_str()); // only removes it when empty
}

bool OutputFiles::open(const std::string& folder, std::string& error) {
    folder_ = folder;
    std::error_code code;
    std::vector<fs::path> missing;
    for (fs::path p = fs::path(folder).lexically_normal(); !p.empty() && !fs::exists(p, code);
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        gxhost::SignalBlock block;
        if (mkdir(it->c_str(), 0777) != 0 && errno != EEXIST) {
            error = folder + ": cannot create the folder (" + std::strerror(errno) + ")";
            return false;
        }
        folders_.push_back({it->string(), gxhost::PendingPath(it->string(), true)});
    }
    if (!fs::is_directory(folder, code)) {
        error = folder + ": not a folder";
        return false;
    }
    std::string pattern = (fs::path(folder) / ".gradix-staging.XXXXXX").string();
    gxhost::SignalBlock block;
    if (!mkdtemp(pattern.data())) {
        error = folder + ": cannot write in the folder (" + std::strerror(errno) + ")";
        return false;
    }
    staging_ = pattern;
    folders_.push_back({pattern, gxhost::PendingPath(pattern, true)});
    return true;
}

std::string OutputFiles::stage(const std::string& name) {
    const std::string path = (fs::path(staging_) / name).string();
    for (const std::string& file : filesOf(path))
        if (std::none_of(files_.begin(), files_.end(), [&](const Made& m) { return m.path == file; }))
            files_.push_back({file, gxhost::PendingPath(file)});
    return path;
}

bool OutputFiles::commit(std::string& error) {
    gxhost::SignalBlock block;
    for (const Made& file : files_) {
        if (access(file.path.c_str(), F_OK) != 0)
            continue;
        const std::string target = (fs::path(folder_) / fs::path(file.path).filename()).string();
        if (std::rename(file.path.c_str(), target.c_str()) != 0) {
            error = target + ": cannot move the file into place (" + std::strerror(errno) + ")";
            return false;
        }
    }
    rmdir(staging_.c_str());
    committed_ = true;
    for (Made& made : files_)
        made.pending.release();
    for (Made& made : folders_)
        made.pending.release();
    return true;
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
