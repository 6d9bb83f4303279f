// AddPaintableWeightsGXCommand ("addPaintableWeightsGX MeshNode Weight"): gives a mesh node a
// paintable per-vertex weight array, the dynamic double-array attribute "gradixWeights", with one
// value per vertex. The main node reads it through inWeights; setArray keeps such an array sized
// to its mesh.
#pragma once

#include "FileVersion.h"

#include <maya/MArgList.h>
#include <maya/MPlug.h>
#include <maya/MPxCommand.h>

class AddPaintableWeightsGXCommand : public MPxCommand {
public:
    AddPaintableWeightsGXCommand() = default;
    ~AddPaintableWeightsGXCommand() override = default;

    MStatus doIt(const MArgList& args) override;

    static void* creator();
    // Makes the plug's double array exactly `count` long: existing values are kept, new entries get
    // `value`. An array already of that length is left as it is and the plug is not written.
    static MStatus setArray(MPlug& plug, unsigned int count, double value);
};

static FileVersion fileVersion_AddPaintableWeightsGXCommand_h("$RCSfile: AddPaintableWeightsGXCommand.h,v $",
                                                              "$Revision: 1.1 $",
                                                              "$Date: 2026/12/05 19:45:00 $",
                                                              "Last modified by $Author: gradix $");
