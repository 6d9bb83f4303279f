// VisualizerGXNode ("VisualizerGX"): the shape that shows where the simplification engine acts
// next. It computes nothing; it holds the display settings and two inputs, a main node's
// outSlimInfo (model and engine) on inSlimInfo and a mesh whose points are drawn on inMesh. Its
// drawing class VisualizerGXUINode reads everything through plugs at draw time.
//
//   "Gradix".outSlimInfo --> inSlimInfo      source mesh.outMesh --> inMesh
//   method: faces (shade the faces the next contractions touch) | lines (draw the next pairs)
#pragma once

#include "FileVersion.h"

#include <maya/MPxSurfaceShape.h>
#include <maya/MTypeId.h>

class VisualizerGXNode : public MPxSurfaceShape {
public:
    VisualizerGXNode() = default;
    ~VisualizerGXNode() override = default;

    // Asks the host to draw the shape.
    void postConstructor() override;
    // The node has no outputs: every plug is left to the host.
    MStatus compute(const MPlug& plug, MDataBlock& dataBlock) override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static MObject smInSlimInfo, smInMesh, smMethod, smRange, smDeadFactor, smModifiedFactor, smThreshold,
        smUpperBound, smFunction, smBlendFunction;
};

static FileVersion fileVersion_VisualizerGXNode_h("$RCSfile: VisualizerGXNode.h,v $", "$Revision: 1.1 $",
                                                  "$Date: 2026/12/05 20:00:00 $",
                                                  "Last modified by $Author: gradix $");
