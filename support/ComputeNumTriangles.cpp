#include "ComputeNumTriangles.h"

#include "Helpers.h"

static FileVersion fileVersion_ComputeNumTriangles_cpp("$RCSfile: ComputeNumTriangles.cpp,v $",
                                                       "$Revision: 1.1 $", "$Date: 2026/12/05 19:30:00 $",
                                                       "Last modified by $Author: gradix $");

int32_t ComputeNumTriangles(const MFnMesh& mesh) {
    int32_t total = 0;
    // The polygon count is asked again before every polygon.
    for (int i = 0; i < mesh.numPolygons(); ++i) {
        MStatus status;
        int n = mesh.polygonVertexCount(i, &status);
        if (!status) {
            reportError("Call to 'getPolygonVertexCount' failed", status);
            continue;
        }
        if (n < 3) {
            reportError("Trinangle has less than 3 vertices", MStatus::kFailure);
            continue;
        }
        total += n - 2;
    }
    return total;
}
