// The host-side API of gxhost/Host.h over the scene.
#include "Access.h"
#include "Faults.h"
#include "Interpreter.h"
#include "MeshShape.h"
#include "Scene.h"

#include <gxhost/Host.h>

#include <maya/MGlobal.h>
#include <maya/MPxData.h>

#include <fstream>
#include <sstream>

namespace gxhost {
namespace {

MStatus report(MStatus status, const std::string& text) {
    if (!status)
        MGlobal::displayError(MString(text));
    return status;
}

// Resolves the plug named `plug` ("node.attr") and runs `body(node, attribute index, error)` on it;
// what fails is reported as "command: error".
template <typename F> MStatus onPlug(const char* command, const std::string& plug, F body) {
    std::shared_ptr<Node> node;
    int attr;
    std::string error;
    MStatus status = Scene::get().resolvePlug(plug, node, attr, error);
    if (status)
        status = body(*node, attr, error);
    return report(status, command + (": " + error));
}

// getAttr: reads the plug's value (data when `typed`, a number otherwise) and hands it to `take`.
template <typename F> MStatus getAttrValue(const std::string& plug, bool typed, F take) {
    return onPlug("getAttr", plug, [&](Node& node, int attr, std::string& error) {
        if ((node.attrs[attr]->kind == Attribute::Kind::Typed) != typed) {
            error = "'" + plug + (typed ? "' holds a number, not data" : "' holds data, not a number");
            return MStatus(MStatus::kInvalidParameter);
        }
        Value v;
        MStatus status = Scene::get().readValue(&node, attr, v);
        take(v);
        error = "Couldn't evaluate '" + plug + "'";
        return status;
    });
}

} // namespace

MObject createNode(const std::string& type, const std::string& name, MStatus* status) {
    MStatus s;
    auto node = Scene::get().createNode(type, name, s);
    setStatus(status, s);
    if (!node) {
        report(s, Scene::get().findType(type) ? "Couldn't create a node of type '" + type + "'"
                                              : "Unknown node type '" + type + "'");
        return MObject();
    }
    return MObject(node);
}

MObject findNode(const std::string& name) {
    auto node = Scene::get().findNode(name);
    return node ? MObject(node) : MObject();
}

std::string nodeName(const MObject& node) {
    Node* n = asNode(node);
    return n ? n->name : std::string();
}

std::vector<std::string> nodeNames() {
    std::vector<std::string> names;
    for (auto& n : Scene::get().nodes)
        names.push_back(n->name);
    return names;
}

MStatus deleteNode(const MObject& node) {
    auto n = std::dynamic_pointer_cast<Node>(node.impl());
    return Scene::get().deleteNode(n);
}

MPlug findPlug(const std::string& plug, MStatus* status) {
    std::shared_ptr<Node> node;
    int attr;
    std::string error;
    MStatus s = Scene::get().resolvePlug(plug, node, attr, error);
    setStatus(status, s);
    if (!s)
        return MPlug();
    return MPlug(MObject(node), MObject(node->attrs[attr]));
}

MStatus connect(const std::string& source, const std::string& destination, bool force) {
    return executeCommand("connectAttr " + std::string(force ? "-f " : "") + "\"" + source + "\" \"" +
                          destination + "\"");
}

MStatus disconnect(const std::string& source, const std::string& destination) {
    return executeCommand("disconnectAttr \"" + source + "\" \"" + destination + "\"");
}

MStatus setAttr(const std::string& plug, double value) {
    return onPlug("setAttr", plug, [&](Node& node, int attr, std::string& error) {
        Value v;
        v.number = value;
        return Scene::get().writeValue(&node, attr, v, &error);
    });
}

MStatus setAttr(const std::string& plug, const MObject& data) {
    return onPlug("setAttr", plug, [&](Node& node, int attr, std::string& error) {
        Value v;
        v.data = std::dynamic_pointer_cast<Data>(data.impl());
        if (!data.isNull() && !v.data) {
            error = "'" + plug + "' takes data objects only";
            return MStatus(MStatus::kInvalidParameter);
        }
        if (node.attrs[attr]->kind != Attribute::Kind::Typed) {
            error = "The attribute '" + plug + "' expects a number";
            return MStatus(MStatus::kInvalidParameter);
        }
        return Scene::get().writeValue(&node, attr, v, &error);
    });
}

MStatus getAttr(const std::string& plug, double& value) {
    return getAttrValue(plug, false, [&](const Value& v) { value = v.number; });
}

MStatus getAttr(const std::string& plug, MObject& data) {
    return getAttrValue(plug, true, [&](const Value& v) { data = wrap(v.data); });
}

bool isDirty(const std::string& plug) {
    std::shared_ptr<Node> node;
    int attr;
    std::string error;
    return Scene::get().resolvePlug(plug, node, attr, error) && node->slots[attr].dirty;
}

void resetScene() {
    Scene::get().reset();
}

MStatus executeCommand(const std::string& text, std::vector<std::string>* result) {
    return runScript(text, "", result);
}

MStatus executeScript(const std::string& text, const std::string& sourceName,
                      std::vector<std::string>* result) {
    return runScript(text, sourceName, result);
}

MStatus executeScriptFile(const std::string& path) {
    return MGlobal::sourceFile(MString(path));
}

MStatus loadPlugin(const std::string& path, std::string* pluginName) {
    std::string error;
    MStatus status = Scene::get().loadPlugin(path, error, pluginName);
    return report(status, "loadPlugin: " + error);
}

MStatus unloadPlugin(const std::string& nameOrPath) {
    std::string error;
    MStatus status = Scene::get().unloadPlugin(nameOrPath, error);
    return report(status, "unloadPlugin: " + error);
}

bool isPluginLoaded(const std::string& nameOrPath) {
    return Scene::get().findPlugin(nameOrPath) != nullptr;
}
bool isNodeTypeRegistered(const std::string& typeName) {
    return Scene::get().findType(typeName) != nullptr;
}
bool isDataTypeRegistered(const std::string& typeName) {
    return Scene::get().findDataType(typeName) != nullptr;
}
bool isCommandRegistered(const std::string& commandName) {
    return Scene::get().findCommand(commandName) != nullptr;
}

MStatus writeDataASCII(const MObject& data, std::string& text) {
    text.clear();
    auto d = std::dynamic_pointer_cast<Data>(data.impl());
    if (!d)
        return MStatus::kInvalidParameter;
    std::ostringstream out;
    if (auto pd = std::dynamic_pointer_cast<PluginData>(d)) {
        MStatus status = pd->data ? pd->data->writeASCII(out) : MStatus(MStatus::kFailure);
        if (!status)
            return status; // a failed writer writes nothing
    } else if (auto da = std::dynamic_pointer_cast<DoubleArrayData>(d)) {
        out << da->values.size();
        for (double v : da->values)
            out << ' ' << gxFormatDouble(v);
    } else if (auto ia = std::dynamic_pointer_cast<IntArrayData>(d)) {
        out << ia->values.size();
        for (int v : ia->values)
            out << ' ' << v;
    } else {
        return MStatus::kNotImplemented;
    }
    text = out.str();
    return MStatus::kSuccess;
}

MStatus setFaceMaterial(const MObject& meshNode, int face, const std::string& material) {
    MeshShape* shape = meshShapeOf(meshNode);
    if (!shape)
        return MStatus::kInvalidParameter;
    int faces = meshOf(meshNode)->numFaces();
    if (face < 0 || face >= faces)
        return MStatus::kInvalidParameter;
    shape->faceMaterial.resize(static_cast<size_t>(faces));
    shape->faceMaterial.set(static_cast<size_t>(face), material);
    return MStatus::kSuccess;
}

std::string faceMaterial(const MObject& meshNode, int face, MStatus* status) {
    MeshShape* shape = meshShapeOf(meshNode);
    if (!shape || face < 0 || face >= meshOf(meshNode)->numFaces()) {
        setStatus(status, MStatus::kInvalidParameter);
        return std::string();
    }
    setStatus(status, MStatus::kSuccess);
    return shape->faceMaterial[static_cast<size_t>(face)];
}

} // namespace gxhost
