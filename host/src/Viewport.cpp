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
#include <map>

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

namespace {

using Vec = std::array<double, 3>;

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec unit(const Vec& a) {
    const double length = std::sqrt(dot(a, a));
    return length > 0.0 ? Vec{a[0] / length, a[1] / length, a[2] / length} : Vec{0, 0, 1};
}

} // namespace

void Viewport::frameScene(std::array<double, 3> direction, std::array<double, 3> up) {
    double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::max()};
    double hi[3] = {-lo[0], -lo[1], -lo[2]};
    bool any = false;
    for (auto& node : Scene::get().nodes) {
        MObject obj(node);
        if (!asMeshNode(obj) || (meshFilter_ && !meshFilter_(node->name)))
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
    Vec center;
    for (int k = 0; k < 3; ++k) {
        center[k] = 0.5 * (lo[k] + hi[k]);
        radius += 0.25 * (hi[k] - lo[k]) * (hi[k] - lo[k]);
    }
    radius = std::max(std::sqrt(radius), 1e-6);
    const Vec back = unit(direction); // from the scene towards the eye
    Vec upward = unit(up);
    if (std::fabs(dot(back, upward)) > 0.99)
        upward = std::fabs(back[2]) > 0.99 ? Vec{0, 1, 0} : Vec{0, 0, -1};
    const Vec right = unit(cross(upward, back));
    upward = cross(back, right);
    // The box's corners seen from the camera: the picture is centred on them and they fill it.
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec p{(corner & 1 ? hi[0] : lo[0]) - center[0], (corner & 2 ? hi[1] : lo[1]) - center[1],
                    (corner & 4 ? hi[2] : lo[2]) - center[2]};
        x0 = std::min(x0, dot(p, right)), x1 = std::max(x1, dot(p, right));
        y0 = std::min(y0, dot(p, upward)), y1 = std::max(y1, dot(p, upward));
    }
    Camera cam;
    for (int k = 0; k < 3; ++k) {
        cam.center[k] = center[k] + 0.5 * (x0 + x1) * right[k] + 0.5 * (y0 + y1) * upward[k];
        cam.eye[k] = cam.center[k] + back[k] * radius * 3.0;
        cam.up[k] = upward[k];
    }
    const double aspect = static_cast<double>(width_) / height_;
    cam.orthographic = true;
    cam.halfHeight = 1.06 * std::max({0.5 * (y1 - y0), 0.5 * (x1 - x0) / aspect, radius * 1e-3});
    cam.nearPlane = radius * 0.1;
    cam.farPlane = radius * 6.0;
    camera_ = cam;
}

void Viewport::setMaterialLooks(const std::vector<MaterialLook>& looks) {
    looks_.clear();
    for (const MaterialLook& look : looks)
        looks_[look.name] = look;
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
    // A key light from the viewer's upper left and a weaker fill from the lower right, in eye space.
    const GLfloat keyDirection[4] = {-0.4f, 0.5f, 1.0f, 0.0f}, fillDirection[4] = {0.6f, -0.2f, 0.5f, 0.0f};
    const GLfloat key[4] = {0.75f, 0.75f, 0.75f, 1.0f}, fill[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, keyDirection);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightfv(GL_LIGHT1, GL_POSITION, fillDirection);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, fill);
    glLightfv(GL_LIGHT1, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
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

void drawEdges(const MeshGeom& m) {
    glBegin(GL_LINES);
    for (int f = 0; f < m.numFaces(); ++f) {
        const int start = m.faceOffset(f), count = m.faceCounts[f];
        for (int c = 0; c < count; ++c) {
            const auto& a = m.points[m.faceVerts[start + c]];
            const auto& b = m.points[m.faceVerts[start + (c + 1) % count]];
            glVertex3d(a[0], a[1], a[2]);
            glVertex3d(b[0], b[1], b[2]);
        }
    }
    glEnd();
}

// The faces of one material: vertex colour (grey without) times the base colour, the texture's
// coordinates from the look's UV set; `faceted`: each polygon lit by its own normal (Newell's).
void drawFaces(const MeshGeom& m, const std::vector<int>& faces, const MaterialLook* look, bool faceted) {
    const std::array<float, 3> base = look ? look->baseColor : std::array<float, 3>{1.0f, 1.0f, 1.0f};
    const float plain = look ? 1.0f : 0.7f; // faces without colour or material are light grey
    const UVSet* uvs = look && !look->texture.empty() && look->uvSet < static_cast<int>(m.uvSets.size())
                           ? &m.uvSets[look->uvSet]
                           : nullptr;
    PolygonCorners polygon; // refilled for each face
    glBegin(GL_TRIANGLES);
    for (int f : faces) {
        const int start = m.faceOffset(f), count = m.faceCounts[f];
        polygon.corners.clear();
        for (int c = 0; c < count; ++c)
            polygon.corners.push_back(m.points[m.faceVerts[start + c]]);
        const MeshGeom::Vec3 own = faceted ? m.faceNormalRaw(f) : MeshGeom::Vec3{};
        triangulatePolygon(polygon.corners, polygon.triangulation);
        for (const auto& tri : polygon.triangulation.triangles)
            for (int c : tri) {
                const int fv = start + c;
                const auto n = faceted ? own : m.faceVertexNormal(fv);
                glNormal3d(n[0], n[1], n[2]);
                const bool colored = fv < static_cast<int>(m.hasColor.size()) && m.hasColor[fv];
                const float* rgb = colored ? m.colors[fv].data() : nullptr;
                // The alpha of vertex colours is often paint, not opacity: pictures stay opaque.
                glColor4f((rgb ? rgb[0] : plain) * base[0], (rgb ? rgb[1] : plain) * base[1],
                          (rgb ? rgb[2] : plain) * base[2], 1.0f);
                if (uvs) {
                    const int id = uvs->uvId(static_cast<size_t>(fv));
                    if (id >= 0)
                        glTexCoord2f(uvs->u[id], uvs->v[id]);
                }
                const auto& p = polygon.corners[c];
                glVertex3d(p[0], p[1], p[2]);
            }
    }
    glEnd();
}

// A texture object for a look; UVs have their origin at the image's bottom left, so rows go in
// bottom first.
GLuint uploadTexture(const MaterialLook& look) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const size_t row = static_cast<size_t>(look.textureWidth) * 4;
    std::vector<uint8_t> flipped(look.texture.size());
    for (int y = 0; y < look.textureHeight; ++y)
        std::copy_n(look.texture.data() + y * row, row, flipped.data() + (look.textureHeight - 1 - y) * row);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, look.textureWidth, look.textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, flipped.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return name;
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
    // Alpha stays as cleared: pictures are opaque whatever colours the drawing uses.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    if (drawMeshes_)
        drawMeshNodes(nodes, style == M3dView::kWireFrame);
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
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFinish();
    return MStatus::kSuccess;
}

void Viewport::drawMeshNodes(const std::vector<std::shared_ptr<Node>>& nodes, bool wireOnly) {
    std::map<std::string, GLuint> textures;
    for (const auto& [name, look] : looks_)
        if (!wireOnly && !look.texture.empty())
            textures[name] = uploadTexture(look);
    for (auto& node : nodes) {
        MObject obj(node);
        if (!node->alive || !asMeshNode(obj) || (meshFilter_ && !meshFilter_(node->name)))
            continue;
        const MeshGeom& mesh = *meshOf(obj);
        const bool faceted = facetedFilter_ && facetedFilter_(node->name);
        if (wireOnly) {
            glColor3f(0.7f, 0.7f, 0.7f);
            drawEdges(mesh);
            continue;
        }
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
        glEnable(GL_NORMALIZE);
        if (wireOverShaded_) {
            glEnable(GL_POLYGON_OFFSET_FILL);
            glPolygonOffset(1.0f, 1.0f);
        }
        // Faces by material name, so the drawing order does not depend on memory.
        const FaceMaterials& materials = meshShapeOf(obj)->faceMaterial;
        std::map<std::string, std::vector<int>> byMaterial;
        for (int f = 0; f < mesh.numFaces(); ++f)
            byMaterial[materials[static_cast<size_t>(f)]].push_back(f);
        for (const auto& [material, faces] : byMaterial) {
            const auto look = looks_.find(material);
            const auto texture = textures.find(material);
            if (texture != textures.end()) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, texture->second);
            }
            drawFaces(mesh, faces, look == looks_.end() ? nullptr : &look->second, faceted);
            glDisable(GL_TEXTURE_2D);
        }
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        if (wireOverShaded_) {
            glColor3f(0.08f, 0.08f, 0.1f);
            drawEdges(mesh);
        }
    }
    for (const auto& [name, texture] : textures)
        glDeleteTextures(1, &texture);
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
