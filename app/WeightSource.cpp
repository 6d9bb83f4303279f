#include "WeightSource.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace gradix {

bool WeightSource::readFile(const std::string& path, std::string& error) {
    origin_ = path;
    values_.clear();
    // A device or FIFO never ends and a text of more than a gigabyte is no weights file: both are
    // refused before reading, so a wrong path cannot use up the memory.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + ": the weights file is not a regular file";
        return false;
    }
    if (info.st_size > (off_t{1} << 30)) {
        error = path + ": the weights file is larger than 1 GB";
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open the weights file";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t comment = line.find('#');
        std::istringstream words(line.substr(0, comment));
        std::string word;
        while (words >> word) {
            char* end = nullptr;
            const double value = std::strtod(word.c_str(), &end);
            if (end != word.c_str() + word.size() || !std::isfinite(value) || value < 0.0) {
                error = path + ":" + std::to_string(number) + ": '" + word +
                        "' is not a weight (a finite number of at least 0)";
                return false;
            }
            values_.push_back(value);
        }
    }
    return true;
}

void WeightSource::fromColors(const std::vector<SourceMesh>& meshes, char channel) {
    origin_ = std::string("colour channel ") + channel;
    values_.clear();
    const size_t c = channel == 'r' ? 0 : channel == 'g' ? 1 : channel == 'b' ? 2 : 3;
    for (const SourceMesh& source : meshes) {
        const gxhost::SceneMesh& mesh = source.scene;
        std::vector<double> sum(mesh.points.size(), 0.0);
        std::vector<unsigned> count(mesh.points.size(), 0);
        for (size_t fv = 0; fv < mesh.faceVertices.size() && fv < mesh.colors.size(); ++fv) {
            const bool present = fv >= mesh.hasColor.size() || mesh.hasColor[fv];
            const size_t v = static_cast<size_t>(mesh.faceVertices[fv]);
            if (present && v < sum.size()) {
                sum[v] += mesh.colors[fv][c];
                ++count[v];
            }
        }
        for (size_t v = 0; v < sum.size(); ++v)
            values_.push_back(count[v] ? sum[v] / count[v] : 0.0);
    }
}

bool WeightSource::split(const std::vector<SourceMesh>& meshes, std::vector<std::vector<double>>& perMesh,
                         std::string& error) const {
    size_t vertices = 0;
    for (const SourceMesh& m : meshes)
        vertices += m.scene.points.size();
    if (vertices != values_.size()) {
        error = origin_ + ": " + std::to_string(values_.size()) + " weights for " + std::to_string(vertices) +
                " vertices (one value per vertex, meshes in file order)";
        return false;
    }
    perMesh.clear();
    size_t at = 0;
    for (const SourceMesh& m : meshes) {
        perMesh.emplace_back(values_.begin() + static_cast<std::ptrdiff_t>(at),
                             values_.begin() + static_cast<std::ptrdiff_t>(at + m.scene.points.size()));
        at += m.scene.points.size();
    }
    return true;
}

} // namespace gradix
