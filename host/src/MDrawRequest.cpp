#include <maya/MDrawInfo.h>
#include <maya/MDrawRequest.h>

void MDrawRequest::setColor(short colorIndex, int colorTable) {
    color_ = M3dView::colorAtIndex(static_cast<unsigned int>(colorIndex),
                                   static_cast<M3dView::ColorTable>(colorTable));
}

void MDrawRequest::gxSetup(const MPxSurfaceShapeUI* handler, const M3dView& view, M3dView::DisplayStyle style,
                           M3dView::DisplayStatus status) {
    handler_ = handler;
    view_ = view;
    style_ = style;
    status_ = status;
}
