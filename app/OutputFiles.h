// OutputFiles: the files (and the folder) one command writes. Unless keep() is called, everything
// it recorded is removed when it goes away, so a command that fails part way leaves nothing behind.
//
//   OutputFiles out;  out.createFolder(dir, error);  ... write ...; out.add(path);  ...  out.keep();
#pragma once

#include <string>
#include <vector>

namespace gradix {

class OutputFiles {
public:
    OutputFiles() = default;
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Creates `folder` (and its parents) when missing; a folder made here is removed on failure.
    bool createFolder(const std::string& folder, std::string& error);
    // Records a file that was written (with its companion files, e.g. a .gltf's .bin).
    void add(const std::string& path);
    void keep() { kept_ = true; }

    // The files a mesh file at `path` consists of: itself and the companions its format writes.
    static std::vector<std::string> filesOf(const std::string& path);

private:
    std::vector<std::string> files_;
    std::vector<std::string> folders_; // made here, innermost last
    bool kept_ = false;
};

} // namespace gradix
