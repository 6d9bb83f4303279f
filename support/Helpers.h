// Helpers: reportError, through which every node, command and the plug-in entry report a failed host
// call: one error line "<host text for the status> --> <message>"; the status comes back unchanged.
//
//   if (!status)
//       return reportError("GradixNode::compute: Couldn't update mesh", status);
#pragma once

#include "FileVersion.h"

#include <maya/MStatus.h>
#include <maya/MString.h>

MStatus reportError(MString message, MStatus status);

static FileVersion fileVersion_Helpers_h("$RCSfile: Helpers.h,v $", "$Revision: 1.1 $",
                                         "$Date: 2026/12/05 19:30:00 $",
                                         "Last modified by $Author: gradix $");
