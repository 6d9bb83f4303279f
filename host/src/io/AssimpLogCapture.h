// AssimpLogCapture: listens to Assimp's warnings and errors while it lives. Some readers repair bad
// input silently apart from a warning (glTF faces with out-of-range indices are dropped); the
// importer refuses such files instead of loading them with holes.
//
// Assimp's logger is process-wide: the capture installs one when none is set and removes it again,
// or attaches to the one the application set. Not for use from two threads at once.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace gxhost {

class AssimpLogCapture {
public:
    AssimpLogCapture();
    ~AssimpLogCapture();
    AssimpLogCapture(const AssimpLogCapture&) = delete;
    AssimpLogCapture& operator=(const AssimpLogCapture&) = delete;

    // True when a reader reported dropping faces whose indices were out of range.
    bool droppedOutOfRangeFaces() const;

private:
    class Stream;
    std::vector<std::string> messages_;
    Stream* stream_;
    bool ownsLogger_;
};

} // namespace gxhost
