// MDrawInfo: what the viewport asks of a shape in one refresh: the view, display style and status.
#pragma once

#include <maya/M3dView.h>
#include <maya/MDrawRequest.h>

class MPxSurfaceShapeUI;

class MDrawInfo {
public:
    MDrawInfo() = default;

    // A request prepared for drawing by `drawHandler` with this info's view, style and status.
    MDrawRequest getPrototype(const MPxSurfaceShapeUI& drawHandler) const;
    M3dView view() const { return view_; }
    M3dView::DisplayStyle displayStyle() const { return style_; }
    M3dView::DisplayStatus displayStatus() const { return status_; }

    // Host side.
    MDrawInfo(const M3dView& view, M3dView::DisplayStyle style, M3dView::DisplayStatus status)
        : view_(view), style_(style), status_(status) {}

private:
    M3dView view_;
    M3dView::DisplayStyle style_ = M3dView::kGouraudShaded;
    M3dView::DisplayStatus status_ = M3dView::kDormant;
};
