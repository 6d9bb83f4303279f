// ImportLimits: what one mesh import may use. A hostile or corrupt file must fail with one line
// rather than exhaust the machine or reach files it has no business reading.
//
//   - maxMemory: the bytes the reader may hold at once, counted over every operator new while it
//     runs (MemoryCeiling). A reader that asks for more gets std::bad_alloc before anything is
//     allocated, and the import fails naming the limit.
//   - readSeconds: how long one file's reader may run; it is stopped after that (ReaderProbe).
//   - allowOutsideRefs: files a scene refers to (glTF buffers, OBJ materials, Collada images, …)
//     are opened only from the input's folder and below unless this is set (ContainedIOSystem).
//
//   gxhost::setImportLimits({2ull << 30, false, 600.0});   // before importSceneFile
#pragma once

#include <cstdint>

namespace gxhost {

struct ImportLimits {
    uint64_t maxMemory = uint64_t(4) << 30;
    bool allowOutsideRefs = false;
    double readSeconds = 600.0;
    // For coverage-guided fuzzing: once the child's read has ended well, the file is read again in
    // this process, where the fuzzer sees the reader run (it sees nothing of a child's run).
    bool readHereToo = false;
};

void setImportLimits(const ImportLimits& limits);
const ImportLimits& importLimits();

// Counts live operator-new bytes while one exists; a request that would take the count more than
// `budget` above where it stood at construction throws std::bad_alloc. One at a time.
class MemoryCeiling {
public:
    explicit MemoryCeiling(uint64_t budget);
    ~MemoryCeiling();
    MemoryCeiling(const MemoryCeiling&) = delete;
    MemoryCeiling& operator=(const MemoryCeiling&) = delete;
    // True when some request was refused.
    bool refused() const;
};

} // namespace gxhost
