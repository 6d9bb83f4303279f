// PictureView: how render and lods --sheet look at a model — the named view relative to the model's
// front axis, orbit angles, the drawing style — and drawing the shown meshes into a Picture through
// the host's offscreen viewport, lit, with the materials' colours and textures.
#pragma once

#include "Picture.h"

#include <gxhost/MaterialLook.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace gradix {

class Session;

struct PictureView {
    std::string view = "iso"; // front, back, side, top, iso
    std::string front = "+z"; // the model's front axis: +z, -z, +x, -x
    double yaw = 0.0;         // degrees about the up axis, added to the view's
    double pitch = 0.0;       // degrees towards the top, added to the view's
    bool wireframe = false;   // edges over the shaded faces
    bool wireframeOnly = false;
    std::string size = "800x600";

    // `sizeHelp` says what --size measures (its default is `size` as set before the call).
    void addOptions(CLI::App& command, const std::string& sizeHelp = "Picture size WIDTHxHEIGHT");
    // "800x600" → 800, 600; false when malformed or outside 16 … 8192.
    static bool parseSize(const std::string& text, int& width, int& height);
    // The direction from the model towards the camera and the picture's up direction.
    void direction(std::array<double, 3>& towardsEye, std::array<double, 3>& up) const;
};

// Draws the meshes for which `shown` answers true into `picture` (of the given size), framed on the
// meshes `framed` answers true for (the shown ones when empty: pictures of several levels framed on
// their source share one scale); those `faceted` answers true for are lit flat, polygon by polygon.
// False with one line in `error` when there is no OpenGL context or drawing fails.
using MeshFilter = std::function<bool(const std::string&)>;
bool drawPicture(Session& session, const PictureView& view, int width, int height, const MeshFilter& shown,
                 const std::vector<gxhost::MaterialLook>& looks, Picture& picture, std::string& error,
                 const MeshFilter& framed = {}, const MeshFilter& faceted = {});

} // namespace gradix
