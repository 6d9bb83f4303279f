// SetupShadersCommand ("setupShaders sourceMesh targetMesh"): copies shader assignments face by
// face from a source mesh to a target mesh, normally a simplified copy of it. Each target face
// takes the shading of the source face with the nearest centre among those whose normal agrees
// with its own (dot product at least 0.3), both in object space; on equal distances the lower
// source index wins. The copy itself is the host procedure "lod_SyncShaderFaceToFace", run once
// per matched target face, in target face order.
//
// Matching is the result of comparing every target face with every source face, found through a
// tree over the source face centres and normals instead, so large meshes take seconds.
#pragma once

#include "FileVersion.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

class SetupShadersCommand : public MPxCommand {
public:
    SetupShadersCommand() = default;
    ~SetupShadersCommand() override = default;

    MStatus doIt(const MArgList& args) override;

    static void* creator();
};

static FileVersion fileVersion_SetupShadersCommand_h("$RCSfile: SetupShadersCommand.h,v $",
                                                     "$Revision: 1.1 $", "$Date: 2026/12/05 20:00:00 $",
                                                     "Last modified by $Author: gradix $");
