#include <gxhost/Viewport.h>

#include "MeshShape.h"
#include "PngWriter.h"
#include "Scene.h"
#include "Triangulator.h"

#include <maya/MDrawInfo.h>
#include <maya/MDrawRequestQueue.h>
#include <maya/MGlobal.h>
#include <maya/MPxSurfaceShape.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace gxhost {

Viewport* lastViewport = nullptr; // what M3dView::active3dView gives

struct Viewport::Context {
    OSMesaContext ctx = nullptr;
};

Viewport::Viewport(int width, int height, MStatus* status)
    : width_(std::max(width, 1)), height_(std::max(height, 1)),
      pixels_(static_cast<size_t>(width_) * height_ * 4, 0), context_(std::make_unique<Context>()) {
    // One rasterizer thread keeps frames identical from run to run and leaves the cores to others.
    setenv("LP_NUM_THREADS", "0", 0);
    context_->ctx = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (!context_->ctx) {
        MGlobal::displayError("Viewport: couldn't create an OSMesa OpenGL context");
        if (status)
            *status = MStatus::kFailure;
        return;
    }
    if (status)
        *status = MStatus::kSuccess;
    lastViewport = this;
}

Viewport::~Viewport() {
    if (context_->ctx) {
        if (OSMesaGetCurrentContext() == context_->ctx)
            OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0); // releases the context's hold on the frame
        OSMesaDestroyContext(context_->ctx);
    }
    if (lastViewport == this)
        lastViewport = nullptr;
}

bool Viewport::valid() const {
    return context_->ctx != nullptr;
}

bool Viewport::makeCurrent() {
    if (!context_->ctx)
        return false;
    if (!OSMesaMakeCurrent(context_->ctx, pixels_.data(), GL_UNSIGNED_BYTE, width_, height_))
        return false;
    OSMesaPixelStore(OSMESA_Y_UP, 0); // row 0 of the buffer is the top of the picture
    return true;
}

void Viewport::frameScene(std::array<double, 3> direction) {
    double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::max()};
    double hi[3] = {-lo[0], -lo[1], -lo[2]};
    bool any = false;
    for (auto& node : Scene::get().nodes) {
        MObject obj(node);
        if (!asMeshNode(obj))
            continue;
        for (const auto& p : meshOf(obj)->points) {
            any = true;
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
        }
    }
    if (!any)
        for (int k = 0; k < 3; ++k)
            lo[k] = -1, hi[k] = 1;
    double radius = 0.0;
    Camera cam;
    for (int k = 0; k < 3; ++k) {
        cam.center[k] = 0.5 * (lo[k] + hi[k]);
        radius += 0.25 * (hi[k] - lo[k]) * (hi[k] - lo[k]);
    }
    radius = std::max(std::sqrt(radius), 1e-6);
    double len =
        std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
    for (int k = 0; k < 3; ++k)
        cam.eye[k] = cam.center[k] + direction[k] / len * radius * 3.0;
    cam.up = std::fabs(direction[1] / len) > 0.99 ? std::array<double, 3>{0, 0, -1}
                                                  : std::array<double, 3>{0, 1, 0};
    cam.orthographic = true;
    cam.halfHeight = radius * 1.05 * std::max(1.0, static_cast<double>(height_) / width_);
    cam.nearPlane = radius * 0.1;
    cam.farPlane = radius * 6.0;
    camera_ = cam;
}

void Viewport::applyCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double aspect = static_cast<double>(width_) / height_;
    const Camera& c = camera_;
    if (c.orthographic) {
        glOrtho(-c.halfHeight * aspect, c.halfHeight * aspect, -c.halfHeight, c.halfHeight, c.nearPlane,
                c.farPlane);
    } else {
        double top = c.nearPlane * std::tan(c.fovY * M_PI / 360.0);
        glFrustum(-top * aspect, top * aspect, -top, top, c.nearPlane, c.farPlane);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The fixed light shines from the viewer's upper left, set in eye space.
    GLfloat lightDir[4] = {-0.3f, 0.4f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightDir);
    double f[3] = {c.center[0] - c.eye[0], c.center[1] - c.eye[1], c.center[2] - c.eye[2]};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& v : f)
        v /= fl;
    double s[3] = {f[1] * c.up[2] - f[2] * c.up[1], f[2] * c.up[0] - f[0] * c.up[2],
                   f[0] * c.up[1] - f[1] * c.up[0]};
    double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double& v : s)
        v /= sl;
    double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    GLdouble m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0, s[2], u[2], -f[2], 0, 0, 0, 0, 1};
    glMultMatrixd(m);
    glTranslated(-c.eye[0], -c.eye[1], -c.eye[2]);
}

namespace {

void drawMesh(const MeshGeom& m, bool wireframe) {
    glColor3f(0.7f, 0.7f, 0.7f);
    glBegin(wireframe ? GL_LINES : GL_TRIANGLES);
    for (int f = 0; f < m.numFaces(); ++f) {
        int start = m.faceOffsets[f], count = m.faceCounts[f];
        if (wireframe) {
            for (int c = 0; c < count; ++c) {
                const auto& a = m.points[m.faceVerts[start + c]];
                const auto& b = m.points[m.faceVerts[start + (c + 1) % count]];
                glVertex3d(a[0], a[1], a[2]);
                glVertex3d(b[0], b[1], b[2]);
            }
            continue;
        }
        std::vector<std::array<double, 3>> corners;
        for (int c = 0; c < count; ++c)
            corners.push_back(m.points[m.faceVerts[start + c]]);
        Triangulation t = triangulatePolygon(corners);
        for (const auto& tri : t.triangles)
            for (int c : tri) {
                int fv = start + c;
                auto n = m.faceVertexNormal(fv);
                glNormal3d(n[0], n[1], n[2]);
                if (fv < static_cast<int>(m.hasColor.size()) && m.hasColor[fv])
                    glColor4fv(m.colors[fv].data());
                else
                    glColor3f(0.7f, 0.7f, 0.7f);
                const auto& p = corners[c];
                glVertex3d(p[0], p[1], p[2]);
            }
    }
    glEnd();
}

} // namespace

MStatus Viewport::refresh(M3dView::DisplayStyle style, M3dView::DisplayStatus status) {
    if (!makeCurrent()) {
        MGlobal::displayError("Viewport: couldn't make the OpenGL context current");
        return MStatus::kFailure;
    }
    lastViewport = this;
    style_ = style;
    glViewport(0, 0, width_, height_);
    glClearColor(background_[0], background_[1], background_[2], 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCamera();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_SMOOTH);
    Scene& scene = Scene::get();
    std::vector<std::shared_ptr<Node>> nodes = scene.nodes; // drawing may evaluate the graph
    if (drawMeshes_) {
        bool wire = style == M3dView::kWireFrame;
        if (!wire) {
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            glEnable(GL_COLOR_MATERIAL);
            glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
            glEnable(GL_NORMALIZE);
        }
        for (auto& node : nodes) {
            MObject obj(node);
            if (node->alive && asMeshNode(obj) && (!meshFilter_ || meshFilter_(node->name)))
                drawMesh(*meshOf(obj), wire);
        }
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
    }
    // Shapes queue their requests first, then each is drawn by its own drawing class.
    M3dView view(this);
    MDrawInfo info(view, style, status);
    for (auto& node : nodes) {
        auto* shape = node->alive ? dynamic_cast<MPxSurfaceShape*>(node->user) : nullptr;
        if (!shape || !node->ui || !shape->isRenderable())
            continue;
        MDrawRequestQueue queue;
        node->ui->getDrawRequests(info, false, queue);
        while (!queue.isEmpty() && node->alive) {
            MDrawRequest request = queue.remove();
            makeCurrent();
            MColor c = request.color();
            glColor4f(c.r, c.g, c.b, c.a);
            node->ui->draw(request, view);
        }
    }
    makeCurrent();
    glFinish();
    return MStatus::kSuccess;
}

std::array<uint8_t, 4> Viewport::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0, 0};
    const uint8_t* p = pixels_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

MStatus Viewport::savePNG(const std::string& path) const {
    std::string error;
    if (!writePng(path, width_, height_, pixels_, error)) {
        MGlobal::displayError(MString(error));
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}

} // namespace gxhost
