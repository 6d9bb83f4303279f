#include <gxhost/Viewport.h>

#include <maya/M3dView.h>

#include <GL/gl.h>

namespace gxhost {
extern Viewport* lastViewport;
}

MStatus M3dView::beginGL() {
    return vp_ && vp_->makeCurrent() ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus M3dView::endGL() {
    if (!vp_)
        return MStatus::kFailure;
    glFlush();
    return MStatus::kSuccess;
}

int M3dView::portWidth(MStatus* ReturnStatus) const {
    if (ReturnStatus)
        *ReturnStatus = vp_ ? MStatus::kSuccess : MStatus::kFailure;
    return vp_ ? vp_->width() : 0;
}

int M3dView::portHeight(MStatus* ReturnStatus) const {
    if (ReturnStatus)
        *ReturnStatus = vp_ ? MStatus::kSuccess : MStatus::kFailure;
    return vp_ ? vp_->height() : 0;
}

M3dView::DisplayStyle M3dView::displayStyle(MStatus* ReturnStatus) const {
    if (ReturnStatus)
        *ReturnStatus = vp_ ? MStatus::kSuccess : MStatus::kFailure;
    return vp_ ? vp_->displayStyle() : kGouraudShaded;
}

MColor M3dView::colorAtIndex(unsigned int index, ColorTable table) {
    // Sixteen hues, repeated; the dormant table is a darker copy of the active one.
    static const float palette[16][3] = {
        {0.0f, 0.0f, 0.0f},  {0.25f, 0.25f, 0.25f}, {0.5f, 0.5f, 0.5f},  {0.75f, 0.75f, 0.75f},
        {1.0f, 1.0f, 1.0f},  {1.0f, 0.0f, 0.0f},    {0.0f, 1.0f, 0.0f},  {0.0f, 0.0f, 1.0f},
        {0.0f, 1.0f, 1.0f},  {1.0f, 0.0f, 1.0f},    {1.0f, 1.0f, 0.0f},  {1.0f, 0.5f, 0.0f},
        {1.0f, 1.0f, 0.39f}, {0.5f, 0.0f, 1.0f},    {0.0f, 0.5f, 0.25f}, {0.6f, 0.3f, 0.1f}};
    const float* c = palette[index % 16];
    float scale = table == kDormantColors ? 0.6f : 1.0f;
    if (table == kBackgroundColor)
        return MColor(0.15f, 0.15f, 0.18f);
    return MColor(c[0] * scale, c[1] * scale, c[2] * scale);
}

M3dView M3dView::active3dView(MStatus* ReturnStatus) {
    if (ReturnStatus)
        *ReturnStatus = gxhost::lastViewport ? MStatus::kSuccess : MStatus::kFailure;
    return M3dView(gxhost::lastViewport);
}
