#include <maya/MDrawInfo.h>
#include <maya/MDrawRequest.h>

MDrawRequest MDrawInfo::getPrototype(const MPxSurfaceShapeUI& drawHandler) const {
    MDrawRequest request;
    request.gxSetup(&drawHandler, view_, style_, status_);
    return request;
}
