// checkZipArchive: refuses a zip archive (a 3MF file, a zipped Collada file) with an entry that does
// not inflate to the checksum and size its directory records. Assimp's zip reader stops the whole
// process with an assertion on such an entry; checked first, it is one line of error instead.
// Files that are not zip archives pass unchecked, as do entries stored in zip64 form.
#pragma once

#include <string>

namespace gxhost {

// False with `problem` when `path` is a zip archive with a damaged directory or entry.
bool checkZipArchive(const std::string& path, std::string& problem);

} // namespace gxhost
