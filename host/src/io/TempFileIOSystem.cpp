#include "TempFileIOSystem.h"

#include <assimp/IOStream.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace gxhost {
namespace {

// A FILE-backed stream that reports write failures to its TempFileSet (when writing).
class FileStream : public Assimp::IOStream {
public:
    FileStream(FILE* file, std::string name, TempFileSet* owner)
        : file_(file), name_(std::move(name)), owner_(owner) {}
    ~FileStream() override {
        if (std::fclose(file_) != 0 && owner_) {
            owner_->markFailed("cannot write '" + name_ + "' (" + std::strerror(errno) + ")");
        }
    }

    size_t Read(void* buffer, size_t size, size_t count) override {
        return std::fread(buffer, size, count, file_);
    }

    size_t Write(const void* buffer, size_t size, size_t count) override {
        const size_t written = std::fwrite(buffer, size, count, file_);
        if (written != count && owner_) {
            owner_->markFailed("cannot write '" + name_ + "' (" + std::strerror(errno) + ")");
        }
        return written;
    }

    aiReturn Seek(size_t offset, aiOrigin origin) override {
        const int whence = origin == aiOrigin_SET ? SEEK_SET : origin == aiOrigin_CUR ? SEEK_CUR : SEEK_END;
        return std::fseek(file_, static_cast<long>(offset), whence) == 0 ? aiReturn_SUCCESS
                                                                         : aiReturn_FAILURE;
    }

    size_t Tell() const override { return static_cast<size_t>(std::ftell(file_)); }

    size_t FileSize() const override {
        struct stat info {};
        return fstat(fileno(file_), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
    }

    void Flush() override { std::fflush(file_); }

private:
    FILE* file_;
    std::string name_;
    TempFileSet* owner_;
};

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

TempFileSet::~TempFileSet() {
    if (!committed_) {
        for (const Entry& e : entries_) {
            std::remove(e.temp.c_str());
        }
    }
}

FILE* TempFileSet::create(const std::string& finalPath) {
    std::string pattern = folderOf(finalPath) + "/." + baseNameOf(finalPath) + ".XXXXXX";
    PendingPath pending;
    const int fd = createPendingTempFile(pattern, pending);
    if (fd < 0) {
        error_ = "cannot create a file in '" + folderOf(finalPath) + "' (" + std::strerror(errno) + ")";
        return nullptr;
    }
    // mkstemp makes the file private; give it the permissions a newly created file would get.
    fchmod(fd, 0666 & ~currentUmask());
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        error_ = "cannot open '" + pattern + "' (" + std::strerror(errno) + ")";
        close(fd);
        std::remove(pattern.c_str());
        return nullptr;
    }
    entries_.push_back({pattern, finalPath, std::move(pending)});
    return file;
}

std::string TempFileSet::tempPathFor(const std::string& finalPath) const {
    for (const Entry& e : entries_) {
        if (e.final == finalPath) {
            return e.temp;
        }
    }
    return {};
}

void TempFileSet::markFailed(const std::string& problem) {
    if (!failed_) {
        error_ = problem;
    }
    failed_ = true;
}

bool TempFileSet::commit(std::string& problem) {
    if (failed_) {
        problem = error_;
        return false;
    }
    // Companions first, so that the main file never refers to one that is not there yet; a signal
    // waits until the set is in place.
    SignalBlock block;
    std::vector<const Entry*> order;
    for (const Entry& e : entries_) {
        if (e.final != mainPath_) {
            order.push_back(&e);
        }
    }
    for (const Entry& e : entries_) {
        if (e.final == mainPath_) {
            order.push_back(&e);
        }
    }
    for (const Entry* e : order) {
        if (std::rename(e->temp.c_str(), e->final.c_str()) != 0) {
            problem = "cannot rename '" + e->temp + "' to '" + e->final + "' (" + std::strerror(errno) + ")";
            return false;
        }
    }
    committed_ = true;
    for (Entry& e : entries_) {
        e.pending.release();
    }
    return true;
}

bool TempFileIOSystem::Exists(const char* path) const {
    struct stat info {};
    return stat(path, &info) == 0;
}

Assimp::IOStream* TempFileIOSystem::Open(const char* path, const char* mode) {
    const bool writing = std::strchr(mode, 'w') || std::strchr(mode, 'a');
    if (!writing) {
        FILE* file = std::fopen(path, mode);
        return file ? new FileStream(file, path, nullptr) : nullptr;
    }
    FILE* file = files_.create(path);
    return file ? new FileStream(file, path, &files_) : nullptr;
}

void TempFileIOSystem::Close(Assimp::IOStream* stream) {
    delete stream;
}

} // namespace gxhost
