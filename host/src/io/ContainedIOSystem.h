// ContainedIOSystem: the file system Assimp's readers open files through. The input itself and
// files in its folder or below open as usual; a file elsewhere (a glTF buffer at "../../x.bin", an
// OBJ material by absolute path, a symbolic link that leads out) is refused and remembered, so the
// import can name it. With `allowOutside` every file opens.
#pragma once

#include <assimp/DefaultIOSystem.h>

#include <string>

namespace gxhost {

class ContainedIOSystem : public Assimp::DefaultIOSystem {
public:
    ContainedIOSystem(const std::string& input, bool allowOutside);
    bool Exists(const char* file) const override;
    Assimp::IOStream* Open(const char* file, const char* mode = "rb") override;
    // The first file refused, or empty.
    const std::string& refused() const { return refused_; }

private:
    bool inside(const char* file) const;

    std::string folder_; // the input's real folder, ending in '/'
    bool allowOutside_;
    mutable std::string refused_;
};

} // namespace gxhost
