// LodsReport: the HTML page `gradix lods --report` leaves for an artist: a table of the levels
// (picture, triangles, vertices, error, seconds) and a viewer to turn each level around, switch
// levels with a slider and show the wireframe. It opens from disk with no server and no network:
// three.js (Debian's libjs-three, its licence beside it) is copied next to the page, and each level's
// glb is carried in a script file of its own, since browsers refuse to fetch files from a page
// opened from disk.
//
//   1. LodsReport report;  report.open("report/", "model.glb", error)
//   2. per level: write the level's glb to report.stageGlb(i), then report.add(level)
//   3. report.commit(error)
#pragma once

#include "OutputFiles.h"
#include "Picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

struct ReportLevel {
    std::string name; // "50%", "error 0.5%"
    uint64_t triangles = 0, vertices = 0;
    double hausdorff = 0.0, mean = 0.0; // % of the box diagonal
    double seconds = 0.0;
    Picture picture;
};

class LodsReport {
public:
    // `target` is a folder (the page is index.html in it) or a .html file.
    bool open(const std::string& target, const std::string& input, std::string& error);
    // Where the glb of level `index` (0 = finest) is to be written.
    std::string stageGlb(size_t index);
    bool add(const ReportLevel& level, std::string& error);
    bool commit(std::string& error);
    const std::string& page() const { return page_; }

    // Where the three.js files are read from: $GRADIX_THREE_DIR, else Debian's libjs-three.
    static std::string threeFolder();

private:
    std::string levelFile(size_t index, const std::string& extension) const;
    std::string pageText() const;

    OutputFiles files_;
    std::string page_, stem_, input_;
    std::vector<ReportLevel> levels_;
    std::vector<std::string> glbPaths_;
};

} // namespace gradix
