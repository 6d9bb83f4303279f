// RenderCommand: `gradix render IN -o PNG` — the (simplified) meshes drawn by the host's offscreen
// OpenGL viewport and saved as PNG, optionally with the "VisualizerGX" overlay that shows where the
// next contractions will act (faces in red, or the pairs as lines).
#pragma once

#include "GlobalOptions.h"
#include "GraphOptions.h"

#include <array>
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

    // The direction the camera looks from, by view name (front, side, top, iso).
    static std::array<double, 3> viewDirection(const std::string& view);
    // "800x600" → 800, 600; false when malformed or outside 16 … 8192.
    static bool parseSize(const std::string& text, int& width, int& height);

private:
    CLI::App* command_;
    std::string input_, output_, visualize_, size_ = "800x600", view_ = "iso";
    double percent_ = 100.0;
    double range_ = 0.2;
    bool wireframe_ = false;
    GraphOptions graph_;
};

} // namespace gradix
