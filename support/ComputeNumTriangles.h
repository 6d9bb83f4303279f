// ComputeNumTriangles: how many triangles a polygon mesh gives (n - 2 per polygon of n corners).
// A polygon whose corner count cannot be read, or that has fewer than three corners, is reported
// with one error line and counts nothing.
#pragma once

#include "FileVersion.h"

#include <maya/MFnMesh.h>

#include <cstdint>

int32_t ComputeNumTriangles(const MFnMesh& mesh);

static FileVersion fileVersion_ComputeNumTriangles_h("$RCSfile: ComputeNumTriangles.h,v $",
                                                     "$Revision: 1.1 $", "$Date: 2026/12/05 19:30:00 $",
                                                     "Last modified by $Author: gradix $");
