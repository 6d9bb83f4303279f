// A test plug-in adding the script command "viewportSnapshot WIDTH HEIGHT PATH": it frames the
// scene in a new offscreen viewport, refreshes it (shaded, dormant) and saves the frame as PNG.
#include <gxhost/Viewport.h>

#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

extern "C" const char MApiVersion[] = "450";

namespace {

class ViewportSnapshotCommand : public MPxCommand {
public:
    static void* creator() { return new ViewportSnapshotCommand; }
    MStatus doIt(const MArgList& args) override {
        MStatus w, h, p;
        const int width = args.asInt(0, &w), height = args.asInt(1, &h);
        const MString path = args.asString(2, &p);
        if (args.length() != 3 || !w || !h || !p) {
            MGlobal::displayError("Usage: viewportSnapshot WIDTH HEIGHT PATH");
            return MStatus::kFailure;
        }
        MStatus status;
        gxhost::Viewport view(width, height, &status);
        if (!status)
            return status;
        view.frameScene({0.3, 0.4, 1.0});
        if (!(status = view.refresh()))
            return status;
        return view.savePNG(path.asChar());
    }
};

} // namespace

MStatus initializePlugin(MObject object) {
    MFnPlugin plugin(object, "Gradix tests", "1.0", "Any");
    return plugin.registerCommand("viewportSnapshot", ViewportSnapshotCommand::creator);
}

MStatus uninitializePlugin(MObject object) {
    MFnPlugin plugin(object);
    return plugin.deregisterCommand("viewportSnapshot");
}
