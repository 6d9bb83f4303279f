// ImportTransfer: what one import made (its meshes, or the problem that stopped it, and what a writer
// keeps of the file besides meshes) as bytes, so that a file is read in a child process alone and
// only its result reaches the program. Both ends are the same program: numbers travel as they are
// held in memory.
//
//   child:  ImportTransfer::write(fd, problem, meshes, asset)      (false when the bytes cannot go)
//   parent: ImportTransfer::read(fd, problem, meshes, asset)       (false when they are incomplete)
#pragma once

#include "AssetContents.h"
#include "SceneMesh.h"

#include <string>
#include <vector>

namespace gxhost {

namespace ImportTransfer {

bool write(int fd, const std::string& problem, const std::vector<SceneMesh>& meshes,
           const SourceAsset* asset);
// Reads what write() put into `fd` from its start; `asset`, when given, takes the kept materials,
// embedded images and counts.
bool read(int fd, std::string& problem, std::vector<SceneMesh>& meshes, SourceAsset* asset);

} // namespace ImportTransfer

} // namespace gxhost
