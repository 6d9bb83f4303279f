#include "PictureView.h"

#include "Session.h"

#include <gxhost/Viewport.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gradix {
namespace {

using Vec = std::array<double, 3>;

Vec axis(const std::string& name) {
    const double sign = name[0] == '-' ? -1.0 : 1.0;
    return name[1] == 'x' ? Vec{sign, 0, 0} : Vec{0, 0, sign};
}

} // namespace

void PictureView::addOptions(CLI::App& command, const std::string& sizeHelp) {
    command.add_option("--view", view, "Camera: front, back, side, top or iso [default: iso]")
        ->check(CLI::IsMember({"front", "back", "side", "top", "iso"}));
    command.add_option("--front", front, "The model's front axis: +z, -z, +x or -x [default: +z]")
        ->check(CLI::IsMember({"+z", "-z", "+x", "-x"}));
    command.add_option("--yaw", yaw, "Turn the camera this many degrees about the up axis [default: 0]");
    command.add_option("--pitch", pitch, "Raise the camera this many degrees [default: 0]");
    command.add_option("--size", size, sizeHelp + " [default: " + size + "]");
    CLI::Option* wire = command.add_flag("--wireframe", wireframe, "Draw the edges over the shaded faces");
    command.add_flag("--wireframe-only", wireframeOnly, "Draw the edges alone")->excludes(wire);
}

bool PictureView::parseSize(const std::string& text, int& width, int& height) {
    // Digits only, at most four of them per side, so nothing can overflow on the way.
    const size_t x = text.find_first_of("xX");
    const auto side = [&](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 4 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        value = std::stoi(digits);
        return value >= 16 && value <= 8192;
    };
    return x != std::string::npos && side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

void PictureView::direction(Vec& towardsEye, Vec& up) const {
    // Azimuth about +Y from the front axis, elevation above the ground plane.
    double azimuth = 0.0, elevation = 0.0;
    if (view == "back")
        azimuth = 180.0;
    else if (view == "side")
        azimuth = 90.0;
    else if (view == "top")
        elevation = 90.0;
    else if (view == "iso")
        azimuth = 39.8, elevation = 27.1; // the classic three-quarter view from the front right
    azimuth += yaw;
    elevation = std::clamp(elevation + pitch, -90.0, 90.0);
    const Vec f = axis(front), y{0, 1, 0};
    const Vec right{y[1] * f[2] - y[2] * f[1], y[2] * f[0] - y[0] * f[2], y[0] * f[1] - y[1] * f[0]};
    const double a = azimuth * M_PI / 180.0, e = elevation * M_PI / 180.0;
    Vec horizontal;
    for (int k = 0; k < 3; ++k) {
        horizontal[k] = std::cos(a) * f[k] + std::sin(a) * right[k];
        towardsEye[k] = std::cos(e) * horizontal[k] + std::sin(e) * y[k];
    }
    // Looking straight down (or up), the side facing the camera's azimuth is at the bottom.
    up = std::fabs(elevation) > 89.0
             ? Vec{-horizontal[0] * (elevation > 0 ? 1 : -1), -horizontal[1] * (elevation > 0 ? 1 : -1),
                   -horizontal[2] * (elevation > 0 ? 1 : -1)}
             : y;
}

bool drawPicture(Session& session, const PictureView& view, int width, int height, const MeshFilter& shown,
                 const std::vector<gxhost::MaterialLook>& looks, Picture& picture, std::string& error,
                 const MeshFilter& framed, const MeshFilter& faceted) {
    session.clearMessages();
    MStatus status;
    gxhost::Viewport viewport(width, height, &status);
    if (!status || !viewport.valid()) {
        error = withHostError("no OpenGL context for drawing", session);
        return false;
    }
    viewport.setMaterialLooks(looks);
    viewport.setWireOverShaded(view.wireframe);
    Vec towardsEye, up;
    view.direction(towardsEye, up);
    viewport.setMeshFilter(framed ? framed : shown);
    viewport.frameScene(towardsEye, up);
    viewport.setMeshFilter(shown);
    viewport.setFacetedFilter(faceted);
    if (!viewport.refresh(view.wireframeOnly ? M3dView::kWireFrame : M3dView::kGouraudShaded,
                          M3dView::kDormant) ||
        !session.hostError().empty()) {
        error = withHostError("drawing failed", session);
        return false;
    }
    picture = Picture(width, height, viewport.pixels());
    return true;
}

} // namespace gradix
