// MPxSurfaceShape: base of plug-in shape nodes. A renderable shape is asked by the viewport for draw
// requests through the drawing class registered with it (MPxSurfaceShapeUI).
#pragma once

#include <maya/MPxNode.h>

class MPxSurfaceShape : public MPxNode {
public:
    MPxSurfaceShape() = default;
    Type type() const override { return kSurfaceShape; }
    MStatus setRenderable(bool renderable);
    bool isRenderable() const { return renderable_; }
    virtual bool isBounded() const { return false; }

private:
    bool renderable_ = false;
};
