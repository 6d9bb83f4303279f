// M3dView: a 3D viewport. In this host it is an offscreen OpenGL 1.1 context (Mesa OSMesa);
// beginGL/endGL make it current around a shape's drawing.
#pragma once

#include <maya/MColor.h>
#include <maya/MStatus.h>

namespace gxhost {
class Viewport;
}

class M3dView {
public:
    enum DisplayStyle { kBoundingBox, kFlatShaded, kGouraudShaded, kWireFrame, kPoints };
    enum DisplayStatus {
        kActive = 0,
        kLive,
        kDormant,
        kInvisible,
        kHilite = 4,
        kTemplate,
        kActiveTemplate,
        kActiveComponent,
        kLead = 8,
        kIntermediateObject,
        kActiveAffected,
        kNoStatus
    };
    enum ColorTable { kActiveColors = 0, kDormantColors, kTemplateColor, kBackgroundColor };

    M3dView() = default;

    MStatus beginGL();
    MStatus endGL();
    int portWidth(MStatus* ReturnStatus = nullptr) const;
    int portHeight(MStatus* ReturnStatus = nullptr) const;
    DisplayStyle displayStyle(MStatus* ReturnStatus = nullptr) const;
    // The colour at `index` of a colour table (32 entries each).
    static MColor colorAtIndex(unsigned int index, ColorTable table = kActiveColors);
    // The viewport most recently refreshed (or created).
    static M3dView active3dView(MStatus* ReturnStatus = nullptr);

    // Host side.
    explicit M3dView(gxhost::Viewport* viewport) : vp_(viewport) {}
    gxhost::Viewport* viewport() const { return vp_; }

private:
    gxhost::Viewport* vp_ = nullptr;
};
