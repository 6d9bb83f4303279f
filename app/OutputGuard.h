// OutputGuard: refuses, before any work, an output path that would replace the input, a file the
// input refers to (an OBJ's .mtl and textures, a glTF's buffers and images, a Collada file's
// images) or anything that is not a regular file (a device, a FIFO, a folder). The output's own
// companion files (.mtl, .bin) are checked the same way.
//
//   OutputGuard guard(input);  guard.protect(weightsFile);
//   if (!guard.check(output, error)) fail with `error`;
#pragma once

#include <string>
#include <vector>

namespace gradix {

class OutputGuard {
public:
    explicit OutputGuard(const std::string& input);
    // Another file the run reads and must not replace.
    void protect(const std::string& path);
    bool check(const std::string& output, std::string& error) const;

    // The files `input` names as its resources, as paths next to it (existing or not).
    static std::vector<std::string> referencedFiles(const std::string& input);

private:
    std::vector<std::string> protected_;
};

} // namespace gradix
