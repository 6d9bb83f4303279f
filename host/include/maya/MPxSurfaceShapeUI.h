// MPxSurfaceShapeUI: the drawing class of a shape. On a viewport refresh the host calls
// getDrawRequests, then draw for every queued request (draw brackets its GL with beginGL/endGL).
#pragma once

#include <maya/MPointArray.h>
#include <maya/MStatus.h>

class MDrawInfo;
class MDrawRequest;
class MDrawRequestQueue;
class M3dView;
class MSelectInfo;
class MSelectionList;
class MPxSurfaceShape;

class MPxSurfaceShapeUI {
public:
    MPxSurfaceShapeUI() = default;
    virtual ~MPxSurfaceShapeUI() = default;
    MPxSurfaceShapeUI(const MPxSurfaceShapeUI&) = delete;
    MPxSurfaceShapeUI& operator=(const MPxSurfaceShapeUI&) = delete;

    virtual void getDrawRequests(const MDrawInfo& info, bool objectAndActiveOnly, MDrawRequestQueue& queue);
    virtual void draw(const MDrawRequest& request, M3dView& view) const;
    virtual bool select(MSelectInfo& selectInfo, MSelectionList& selectionList,
                        MPointArray& worldSpaceSelectPts) const;

    MPxSurfaceShape* surfaceShape() const { return shape_; }

    // Host side.
    void gxAttach(MPxSurfaceShape* shape) { shape_ = shape; }

private:
    MPxSurfaceShape* shape_ = nullptr;
};
