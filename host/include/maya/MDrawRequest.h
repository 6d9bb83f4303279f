// MDrawRequest: one drawing job of a shape, queued during getDrawRequests and drawn later.
#pragma once

#include <maya/M3dView.h>
#include <maya/MColor.h>

class MPxSurfaceShapeUI;

class MDrawRequest {
public:
    MDrawRequest() = default;

    int token() const { return token_; }
    void setToken(int token) { token_ = token; }
    // Colour by index into one of the view's colour tables.
    void setColor(short colorIndex, int colorTable = M3dView::kActiveColors);
    void setColor(const MColor& color) { color_ = color; }
    MColor color() const { return color_; }
    M3dView::DisplayStyle displayStyle() const { return style_; }
    void setDisplayStyle(M3dView::DisplayStyle style) { style_ = style; }
    M3dView::DisplayStatus displayStatus() const { return status_; }
    void setDisplayStatus(M3dView::DisplayStatus status) { status_ = status; }
    M3dView view() const { return view_; }

    // Host side.
    const MPxSurfaceShapeUI* drawHandler() const { return handler_; }
    void gxSetup(const MPxSurfaceShapeUI* handler, const M3dView& view, M3dView::DisplayStyle style,
                 M3dView::DisplayStatus status);

private:
    int token_ = 0;
    MColor color_{1.0f, 1.0f, 1.0f, 1.0f};
    M3dView::DisplayStyle style_ = M3dView::kGouraudShaded;
    M3dView::DisplayStatus status_ = M3dView::kDormant;
    M3dView view_;
    const MPxSurfaceShapeUI* handler_ = nullptr;
};
