// TempFileIOSystem: the file system Assimp's exporters write through. Every file opened for writing
// (the main file and companions such as .bin or .mtl, under their final names) goes to a temporary
// file in the same folder; commit() renames them into place, the main file last, and anything not
// committed is deleted. So a failed export leaves no partial file and never touches an old one.
//
// How to use:
//   1. TempFileSet files(path);
//   2. exporter.SetIOHandler(new TempFileIOSystem(files));   (the exporter owns the IOSystem)
//   3. exporter.Export(scene, id, path) ...;
//   4. files.commit(problem) on success; on failure just let `files` go.
#pragma once

#include "SignalCleanup.h"

#include <assimp/IOSystem.hpp>

#include <string>
#include <vector>

namespace gxhost {

class TempFileSet {
public:
    explicit TempFileSet(std::string mainPath) : mainPath_(std::move(mainPath)) {}
    ~TempFileSet();
    TempFileSet(const TempFileSet&) = delete;
    TempFileSet& operator=(const TempFileSet&) = delete;

    // A new temporary file for `finalPath`, open for writing; null with lastError() set on failure.
    FILE* create(const std::string& finalPath);
    // Records that a write to a temporary file failed, so that commit refuses.
    void markFailed(const std::string& problem);
    // Renames every temporary file to its final name, the main file last.
    bool commit(std::string& problem);

    const std::string& lastError() const { return error_; }
    // The temporary file standing in for `finalPath`, or "" when none was created.
    std::string tempPathFor(const std::string& finalPath) const;

private:
    struct Entry {
        std::string temp, final;
        PendingPath pending; // removed by a signal until committed
    };
    std::string mainPath_;
    std::vector<Entry> entries_;
    std::string error_;
    bool failed_ = false;
    bool committed_ = false;
};

class TempFileIOSystem : public Assimp::IOSystem {
public:
    explicit TempFileIOSystem(TempFileSet& files) : files_(files) {}

    bool Exists(const char* path) const override;
    char getOsSeparator() const override { return '/'; }
    Assimp::IOStream* Open(const char* path, const char* mode) override;
    void Close(Assimp::IOStream* stream) override;

private:
    TempFileSet& files_;
};

} // namespace gxhost
