#include "OutputGuard.h"

#include "OutputFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
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

// What follows `at` after white space, if it starts with `c`: the place after it, or npos.
size_t after(const std::string& text, size_t at, char c) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return at < text.size() && text[at] == c ? at + 1 : std::string::npos;
}

// Every "uri": "…" string of a glTF that is not a data URI. A plain scan: std::regex matches
// recursively, one stack frame per character, and a data URI of a few megabytes overflows the stack.
void gltfUris(const std::string& text, std::vector<std::string>& out) {
    const std::string key = "\"uri\"";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        size_t open = after(text, at + key.size(), ':');
        open = open == std::string::npos ? open : after(text, open, '"');
        const size_t close = open == std::string::npos ? open : text.find('"', open);
        if (close == std::string::npos)
            continue;
        const std::string uri = text.substr(open, close - open);
        if (uri.rfind("data:", 0) != 0)
            out.push_back(uri);
    }
}

// The single word inside each <init_from>…</init_from> of a Collada file (its image files).
void colladaImages(const std::string& text, std::vector<std::string>& out) {
    const std::string open = "<init_from>", close = "</init_from>";
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const size_t end = text.find(close, at);
        if (end == std::string::npos)
            break;
        std::istringstream words(text.substr(at + open.size(), end - at - open.size()));
        std::string word, more;
        if (words >> word && !(words >> more) && word.find('<') == std::string::npos &&
            word.rfind("data:", 0) != 0)
            out.push_back(word);
    }
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
        gltfUris(head(input), names);
    } else if (extension == ".dae") {
        colladaImages(head(input), names);
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
