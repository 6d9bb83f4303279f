// Viewport: an offscreen OpenGL 1.1 viewport (Mesa OSMesa). A refresh clears the frame, draws every
// `mesh` node shaded under a key and a fill light (vertex colours, and the base colours and textures
// of materials given with setMaterialLooks, modulate the shading), then asks each renderable shape's drawing
// class for draw requests and draws them; the frame can be read back or saved as PNG.
//
//   gxhost::Viewport view(320, 240);
//   view.frameScene();                       // or view.setCamera(...)
//   view.refresh(M3dView::kGouraudShaded, M3dView::kDormant);
//   view.savePNG("frame.png");
#pragma once

#include <gxhost/MaterialLook.h>
#include <maya/M3dView.h>
#include <maya/MStatus.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gxhost {

class Node;

struct Camera {
    std::array<double, 3> eye{0, 0, 10}, center{0, 0, 0}, up{0, 1, 0};
    bool orthographic = true;
    double halfHeight = 1.0; // orthographic: half the visible height in scene units
    double fovY = 45.0;      // perspective: vertical field of view in degrees
    double nearPlane = 0.01, farPlane = 1000.0;
};

class Viewport {
public:
    // An invalid viewport (status kFailure, an error shown) when no GL context can be made.
    Viewport(int width, int height, MStatus* status = nullptr);
    ~Viewport();
    Viewport(const Viewport&) = delete;
    Viewport& operator=(const Viewport&) = delete;

    bool valid() const;
    int width() const { return width_; }
    int height() const { return height_; }

    void setCamera(const Camera& camera) { camera_ = camera; }
    const Camera& camera() const { return camera_; }
    // An orthographic camera looking along `direction` (from the scene towards the eye) at the
    // bounding box of every mesh node, which fills the frame; `up` is the picture's up direction
    // (+Y unless looking along it).
    void frameScene(std::array<double, 3> direction = {1.0, 0.8, 1.2},
                    std::array<double, 3> up = {0.0, 1.0, 0.0});
    void setBackground(float r, float g, float b) { background_ = {r, g, b}; }
    void setDrawMeshes(bool draw) { drawMeshes_ = draw; }
    // Only mesh nodes for which the filter answers true are drawn (all of them without a filter).
    void setMeshFilter(std::function<bool(const std::string& nodeName)> filter) {
        meshFilter_ = std::move(filter);
    }
    // Mesh nodes for which the filter answers true are drawn flat: each polygon lit by its own normal
    // whatever normals the mesh holds (a flat-shaded source simplified without its normals).
    void setFacetedFilter(std::function<bool(const std::string& nodeName)> filter) {
        facetedFilter_ = std::move(filter);
    }
    // Faces whose material has a look here are drawn in its colour and texture (by material name).
    void setMaterialLooks(const std::vector<MaterialLook>& looks);
    // Shaded refreshes also draw every polygon's edges over the faces.
    void setWireOverShaded(bool on) { wireOverShaded_ = on; }
    // The style of the refresh in progress or last done.
    M3dView::DisplayStyle displayStyle() const { return style_; }

    MStatus refresh(M3dView::DisplayStyle style = M3dView::kGouraudShaded,
                    M3dView::DisplayStatus status = M3dView::kDormant);
    // RGBA of pixel (x, y), y = 0 being the top row.
    std::array<uint8_t, 4> pixel(int x, int y) const;
    // RGBA rows, top row first; opaque after a refresh.
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    MStatus savePNG(const std::string& path) const;

    // Makes this viewport's GL context current (what M3dView::beginGL does).
    bool makeCurrent();

private:
    struct Context;
    void applyCamera();
    void drawMeshNodes(const std::vector<std::shared_ptr<Node>>& nodes, bool wireOnly);
    int width_, height_;
    std::vector<uint8_t> pixels_;
    std::unique_ptr<Context> context_;
    Camera camera_;
    std::array<float, 3> background_{0.15f, 0.15f, 0.18f};
    bool drawMeshes_ = true;
    std::function<bool(const std::string&)> meshFilter_, facetedFilter_;
    std::map<std::string, MaterialLook> looks_;
    bool wireOverShaded_ = false;
    M3dView::DisplayStyle style_ = M3dView::kGouraudShaded;
};

} // namespace gxhost
