#include "ToolRun.h"

#include "io/MeshImporter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace apptest {
namespace {

std::string slurp(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

} // namespace

std::vector<std::string> ToolRun::errLines() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

ToolRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    ToolRun run;
    // Output goes to files rather than pipes, so that a chatty child cannot block on a full pipe.
    char outName[] = "/tmp/gradix-test-out-XXXXXX";
    char errName[] = "/tmp/gradix-test-err-XXXXXX";
    const int outFd = mkstemp(outName), errFd = mkstemp(errName);
    if (outFd < 0 || errFd < 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    lseek(outFd, 0, SEEK_SET);
    lseek(errFd, 0, SEEK_SET);
    run.out = slurp(outFd);
    run.err = slurp(errFd);
    close(outFd);
    close(errFd);
    unlink(outName);
    unlink(errName);
    return run;
}

bool exists(const std::string& path) {
    return fs::exists(path);
}

std::vector<gxhost::SceneMesh> readMeshes(const std::string& path) {
    std::vector<gxhost::SceneMesh> meshes;
    std::string error;
    EXPECT_TRUE(gxhost::importSceneFile(path, meshes, error)) << error;
    return meshes;
}

uint64_t triangleCount(const std::vector<gxhost::SceneMesh>& meshes) {
    uint64_t triangles = 0;
    for (const auto& mesh : meshes)
        for (int32_t c : mesh.faceCounts)
            triangles += static_cast<uint64_t>(c - 2);
    return triangles;
}

uint64_t usedVertexCount(const std::vector<gxhost::SceneMesh>& meshes) {
    uint64_t vertices = 0;
    for (const auto& mesh : meshes)
        vertices += std::set<int32_t>(mesh.faceVertices.begin(), mesh.faceVertices.end()).size();
    return vertices;
}

std::set<std::string> materialNames(const std::vector<gxhost::SceneMesh>& meshes) {
    std::set<std::string> names;
    for (const auto& mesh : meshes)
        for (int32_t m : mesh.faceMaterial)
            if (m >= 0)
                names.insert(mesh.materials[static_cast<size_t>(m)]);
    return names;
}

bool hasColors(const gxhost::SceneMesh& mesh) {
    return std::find(mesh.hasColor.begin(), mesh.hasColor.end(), 1) != mesh.hasColor.end();
}

double jsonNumber(const std::string& json, const std::string& key) {
    const std::string quoted = "\"" + key + "\":";
    const size_t at = json.find(quoted);
    return at == std::string::npos ? -1.0 : std::strtod(json.c_str() + at + quoted.size(), nullptr);
}

bool readPng(const std::string& path, Image& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    const bool ok = png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

void writePng(const std::string& path, int width, int height, const uint8_t* rgb) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, rgb, 0, nullptr)) << path;
}

} // namespace apptest
