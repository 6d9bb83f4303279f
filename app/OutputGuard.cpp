#include "OutputGuard.h"

#include "OutputFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace gradix {
namespace {

std::string lowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The first megabytes are enough to find the references of any file the tool should read.
std::string head(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(4u << 20, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// The last word of every line starting with one of `keys` (OBJ mtllib, MTL map_* statements).
void lastWords(const std::string& text, const std::vector<std::string>& keys, std::vector<std::string>& out) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string key, word, last;
        words >> key;
        if (std::find(keys.begin(), keys.end(), key) == keys.end() &&
            !(key.rfind("map_", 0) == 0 && std::find(keys.begin(), keys.end(), "map_") != keys.end()))
            continue;
        while (words >> word)
            last = word;
        if (!last.empty())
            out.push_back(last);
    }
}

void matches(const std::string& text, const std::regex& pattern, std::vector<std::string>& out) {
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        if ((*it)[1].str().rfind("data:", 0) != 0)
            out.push_back((*it)[1].str());
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code codeA, codeB;
    const fs::path realA = fs::weakly_canonical(a, codeA), realB = fs::weakly_canonical(b, codeB);
    return !codeA && !codeB && realA == realB;
}

} // namespace

std::vector<std::string> OutputGuard::referencedFiles(const std::string& input) {
    const std::string extension = lowerExtension(input);
    std::vector<std::string> names;
    if (extension == ".obj") {
        std::vector<std::string> libraries;
        lastWords(head(input), {"mtllib"}, libraries);
        for (const std::string& library : libraries) {
            names.push_back(library);
            lastWords(head((fs::path(input).parent_path() / library).string()),
                      {"map_", "bump", "disp", "decal", "refl"}, names);
        }
    } else if (extension == ".gltf") {
        matches(head(input), std::regex(R"re("uri"\s*:\s*"([^"]*)")re"), names);
    } else if (extension == ".dae") {
        matches(head(input), std::regex(R"re(<init_from>\s*([^<\s]+)\s*</init_from>)re"), names);
    }
    std::vector<std::string> files;
    for (const std::string& name : names)
        files.push_back((fs::path(input).parent_path() / name).string());
    return files;
}

OutputGuard::OutputGuard(const std::string& input) {
    protected_.push_back(input);
    for (const std::string& file : referencedFiles(input))
        protected_.push_back(file);
}

void OutputGuard::protect(const std::string& path) {
    if (!path.empty())
        protected_.push_back(path);
}

bool OutputGuard::check(const std::string& output, std::string& error) const {
    for (const std::string& file : OutputFiles::filesOf(output)) {
        struct stat info {};
        if (stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            error = file + ": not a regular file (" +
                    (S_ISDIR(info.st_mode)    ? "a folder"
                     : S_ISFIFO(info.st_mode) ? "a FIFO"
                                              : "a device") +
                    "); give a file path to write";
            return false;
        }
        for (const std::string& kept : protected_)
            if (sameFile(file, kept)) {
                error = file + ": refusing to write over " +
                        (kept == protected_.front() ? "the input" : "'" + kept + "', which the input uses");
                return false;
            }
    }
    return true;
}

} // namespace gradix
