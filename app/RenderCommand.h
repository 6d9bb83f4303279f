// RenderCommand: `gradix render IN -o PICTURE` — the (simplified) meshes drawn by the host's offscreen
// OpenGL viewport and saved as PNG or JPEG, optionally with the "VisualizerGX" overlay that shows where the
// next contractions will act (faces in red, or the pairs as lines).
#pragma once

#include "GlobalOptions.h"
#include "GraphOptions.h"
#include "PictureView.h"

#include <string>

namespace CLI {
class App;
}

namespace gradix {

class RenderCommand {
public:
    explicit RenderCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

    // What the overlay shows, one line, and that line drawn with a swatch at the picture's foot.
    static std::string legend(const std::string& visualize, double range);
    static void drawLegend(Picture& picture, const std::string& visualize, double range);

private:
    CLI::App* command_;
    std::string input_, output_, visualize_;
    PictureView view_;
    double percent_ = 100.0;
    double range_ = 0.2;
    GraphOptions graph_;
};

} // namespace gradix
