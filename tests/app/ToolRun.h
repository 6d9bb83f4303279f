// ToolRun: runs the built gradix binary (or another program) as a child process and keeps its exit
// status, standard output and standard error. Also mesh file reading for checking results, and PNG
// reading for checking pictures.
#pragma once

#include "../io/MeshTestSupport.h"
#include "SceneMesh.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace apptest {

struct ToolRun {
    int status = -1;
    std::string out, err;

    // Lines of standard error (without the final newline).
    std::vector<std::string> errLines() const;
};

// Runs `program` with `args`; standard input is empty.
ToolRun runProgram(const std::string& program, const std::vector<std::string>& args);
inline ToolRun gradix(const std::vector<std::string>& args) {
    return runProgram(GRADIX_TOOL, args);
}

// A scratch folder per test and text files, shared with the mesh file tests.
using gxtest::ScratchDir;
using gxtest::writeText;
inline std::string readBytes(const std::string& path) {
    return gxtest::readText(path);
}
bool exists(const std::string& path);

// Every mesh of a file; fails the test when the file does not read.
std::vector<gxhost::SceneMesh> readMeshes(const std::string& path);
uint64_t triangleCount(const std::vector<gxhost::SceneMesh>& meshes);
uint64_t usedVertexCount(const std::vector<gxhost::SceneMesh>& meshes);
std::set<std::string> materialNames(const std::vector<gxhost::SceneMesh>& meshes);
bool hasColors(const gxhost::SceneMesh& mesh);

// The number after `"key":` in a JSON text (the first occurrence), or -1.
double jsonNumber(const std::string& json, const std::string& key);

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba; // rows top first
    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};
// False when `path` is not a readable PNG.
bool readPng(const std::string& path, Image& image);
// An RGB picture, rows top first; fails the test when it cannot be written.
void writePng(const std::string& path, int width, int height, const uint8_t* rgb);

} // namespace apptest
