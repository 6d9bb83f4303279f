// checkDeclaredCounts: refuses OFF and PLY files whose headers declare more vertices or faces than
// the file could hold. Assimp's readers size their arrays from those counts before reading, so a
// corrupt header would make them allocate gigabytes (and, under a sanitizer, abort).
//
// Every element takes at least one byte, so a sum of counts above the file size cannot be right.
// A PLY header must end (Assimp's reader loops on one that does not). Other formats pass unchecked.
#pragma once

#include <string>

namespace gxhost {

// False with `problem` when `path` is an OFF or PLY file with impossible element counts or header.
bool checkDeclaredCounts(const std::string& path, std::string& problem);

} // namespace gxhost
