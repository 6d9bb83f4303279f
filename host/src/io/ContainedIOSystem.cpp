#include "ContainedIOSystem.h"

#include <climits>
#include <cstdlib>

namespace gxhost {
namespace {

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

} // namespace

ContainedIOSystem::ContainedIOSystem(const std::string& input, bool allowOutside)
    : allowOutside_(allowOutside) {
    const std::string real = realPath(input);
    folder_ = real.substr(0, real.find_last_of('/') + 1);
}

bool ContainedIOSystem::inside(const char* file) const {
    if (allowOutside_)
        return true;
    // A file that does not exist cannot be read from anywhere; Assimp reports it as missing.
    const std::string real = realPath(file);
    if (real.empty() || (!folder_.empty() && real.compare(0, folder_.size(), folder_) == 0))
        return true;
    if (refused_.empty())
        refused_ = file;
    return false;
}

bool ContainedIOSystem::Exists(const char* file) const {
    return inside(file) && DefaultIOSystem::Exists(file);
}

Assimp::IOStream* ContainedIOSystem::Open(const char* file, const char* mode) {
    if (!inside(file))
        return nullptr;
    return DefaultIOSystem::Open(file, mode);
}

} // namespace gxhost
