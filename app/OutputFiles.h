// OutputFiles: the files (and the folders) one command writes. Files are written into a private
// staging folder inside the target folder and moved into place together by commit(); until then a
// failure, or a signal that stops the run, removes everything this run made and leaves the target
// folder's earlier files as they were.
//
//   OutputFiles out;  out.open(dir, error);  path = out.stage(name);  ... write path ...;
//   out.commit(error);
#pragma once

#include "io/SignalCleanup.h"

#include <string>
#include <vector>

namespace gradix {

class OutputFiles {
public:
    OutputFiles() = default;
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Creates `folder` (and its parents) when missing, and the staging folder inside it.
    bool open(const std::string& folder, std::string& error);
    // The staging path for the file `name` (recorded with its companions, e.g. a .gltf's .bin).
    std::string stage(const std::string& name);
    // Moves every staged file that was written to the target folder and removes the staging folder.
    bool commit(std::string& error);

    // The files a mesh file at `path` consists of: itself and the companions its format writes.
    static std::vector<std::string> filesOf(const std::string& path);

private:
    struct Made {
        std::string path;
        gxhost::PendingPath pending;
    };
    std::string folder_, staging_;
    std::vector<Made> files_;   // in the staging folder
    std::vector<Made> folders_; // made here, innermost last
    bool committed_ = false;
};

} // namespace gradix
