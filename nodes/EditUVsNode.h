// EditUVsNode ("EditUVs"): writes the UV sets after the first back onto a simplified mesh. It copies
// the mesh on inMesh (normally a "Gradix" node's outMesh) and sets every further UV set from the two
// flat lists the main node gives: inUVs (per set, n U values then n V values) and inUVids (three
// UV indices per triangle).
#pragma once

#include "FileVersion.h"

#include <maya/MPxNode.h>

class EditUVsNode : public MPxNode {
public:
    EditUVsNode() = default;
    ~EditUVsNode() override = default;

    MStatus compute(const MPlug& plug, MDataBlock& data) override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static MObject smInMesh, smInUVs, smInUVids, smOutMesh;
};

static FileVersion fileVersion_EditUVsNode_h("$RCSfile: EditUVsNode.h,v $", "$Revision: 1.1 $",
                                             "$Date: 2026/12/05 19:45:00 $",
                                             "Last modified by $Author: gradix $");
