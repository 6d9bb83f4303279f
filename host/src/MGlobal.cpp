#include "Faults.h"
#include "Interpreter.h"
#include "Scene.h"

#include <maya/MGlobal.h>

#include <fstream>
#include <sstream>

using namespace gxhost;

namespace {

MStatus run(const MString& command, bool displayEnabled, std::vector<std::string>& result) {
    MStatus status;
    if (fault("MGlobal::executeCommand", &status))
        return status;
    if (displayEnabled)
        MGlobal::displayInfo(command);
    return runScript(command.str(), "", &result);
}

// Runs a command and puts its result words, each converted by `convert`, in `result`.
template <typename Array, typename F>
MStatus runInto(const MString& command, bool displayEnabled, Array& result, F convert) {
    std::vector<std::string> out;
    MStatus status = run(command, displayEnabled, out);
    result.clear();
    for (auto& s : out)
        result.append(convert(MString(s)));
    return status;
}

} // namespace

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool) {
    std::vector<std::string> result;
    return run(command, displayEnabled, result);
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled, bool) {
    return runInto(command, displayEnabled, result, [](const MString& s) { return s; });
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled, bool) {
    std::vector<std::string> out;
    MStatus status = run(command, displayEnabled, out);
    std::string joined;
    for (size_t i = 0; i < out.size(); ++i)
        joined += (i ? " " : "") + out[i];
    result = MString(joined);
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool displayEnabled, bool) {
    return runInto(command, displayEnabled, result, [](const MString& s) { return s.asInt(); });
}

MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled, bool) {
    return runInto(command, displayEnabled, result, [](const MString& s) { return s.asDouble(); });
}

MStatus MGlobal::sourceFile(const MString& fileName) {
    std::ifstream in(fileName.asChar());
    if (!in) {
        displayError("Cannot open script file '" + fileName + "'");
        return MStatus::kNotFound;
    }
    std::stringstream text;
    text << in.rdbuf();
    return runScript(text.str(), fileName.str(), nullptr);
}

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest) {
    dest.clear();
    for (auto& n : Scene::get().activeSelection)
        dest.add(MObject(n));
    return MStatus::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment mode) {
    auto& sel = Scene::get().activeSelection;
    if (mode == kReplaceList)
        sel.clear();
    for (unsigned int i = 0; i < src.length(); ++i) {
        MObject o;
        src.getDependNode(i, o);
        auto node = std::dynamic_pointer_cast<Node>(o.impl());
        if (!node)
            continue;
        auto it = std::find(sel.begin(), sel.end(), node);
        if (mode == kRemoveFromList || (mode == kXORWithList && it != sel.end())) {
            if (it != sel.end())
                sel.erase(it);
        } else if (it == sel.end()) {
            sel.push_back(node);
        }
    }
    return MStatus::kSuccess;
}

MStatus MGlobal::selectByName(const MString& name, ListAdjustment mode) {
    MSelectionList list;
    MStatus status = list.add(name);
    if (!status)
        return status;
    return setActiveSelectionList(list, mode);
}

MStatus MGlobal::clearSelectionList() {
    Scene::get().activeSelection.clear();
    return MStatus::kSuccess;
}
