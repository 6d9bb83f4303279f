// The host's own commands: createNode, connectAttr, disconnectAttr, setAttr, getAttr, delete,
// loadPlugin, unloadPlugin, select, ls and lod_SyncShaderFaceToFace (importMesh and exportMesh are in
// MeshFileCommands.cpp).
#include "Access.h"
#include "MeshShape.h"
#include "Scene.h"

#include <gxhost/Host.h>

#include <maya/MString.h>

#include <fnmatch.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace gxhost {
namespace {

using Args = std::vector<std::string>;
using Result = std::vector<std::string>;

MStatus usage(std::string& error, const std::string& text) {
    error = "usage: " + text;
    return MStatus::kInvalidParameter;
}

MStatus createNodeCmd(const Args& args, Result& result, std::string& error) {
    std::string type, name;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-n" || args[i] == "-name") && i + 1 < args.size())
            name = args[++i];
        else if (args[i] == "-p" || args[i] == "-parent")
            ++i; // the host has no transforms
        else if (type.empty() && args[i][0] != '-')
            type = args[i];
        else
            return usage(error, "createNode TYPE [-n NAME]");
    }
    if (type.empty())
        return usage(error, "createNode TYPE [-n NAME]");
    MStatus status;
    auto node = Scene::get().createNode(type, name, status);
    if (!node) {
        error = Scene::get().findType(type) ? "Couldn't create a node of type '" + type + "'"
                                            : "Unknown node type '" + type + "'";
        return status;
    }
    result = {node->name};
    return MStatus::kSuccess;
}

// Resolves the plugs named `source` and `destination` and runs `link` (connect or disconnect) on them.
template <typename F>
MStatus onPlugPair(const std::string& source, const std::string& destination, std::string& error, F link) {
    Scene& scene = Scene::get();
    std::shared_ptr<Node> src, dst;
    int sa, da;
    MStatus status = scene.resolvePlug(source, src, sa, error);
    if (status)
        status = scene.resolvePlug(destination, dst, da, error);
    if (status)
        status = link(scene, src.get(), sa, dst.get(), da);
    return status;
}

MStatus connectCmd(const Args& args, Result& result, std::string& error) {
    bool force = false;
    Args plugs;
    for (const std::string& a : args) {
        if (a == "-f" || a == "-force")
            force = true;
        else
            plugs.push_back(a);
    }
    if (plugs.size() != 2)
        return usage(error, "connectAttr [-f] SOURCE.attr DESTINATION.attr");
    MStatus status =
        onPlugPair(plugs[0], plugs[1], error, [&](Scene& scene, Node* src, int sa, Node* dst, int da) {
            return scene.connect(src, sa, dst, da, force, &error);
        });
    if (status)
        result = {"Connected " + plugs[0] + " to " + plugs[1] + "."};
    return status;
}

MStatus disconnectCmd(const Args& args, Result&, std::string& error) {
    if (args.size() != 2)
        return usage(error, "disconnectAttr SOURCE.attr DESTINATION.attr");
    return onPlugPair(args[0], args[1], error, [&](Scene& scene, Node* src, int sa, Node* dst, int da) {
        return scene.disconnect(src, sa, dst, da, &error);
    });
}

bool parseNumber(const std::string& text, double& value) {
    if (text == "true" || text == "on" || text == "yes") {
        value = 1.0;
        return true;
    }
    if (text == "false" || text == "off" || text == "no") {
        value = 0.0;
        return true;
    }
    MString s(text);
    if (!s.isDouble())
        return false;
    value = s.asDouble();
    return true;
}

MStatus setAttrCmd(const Args& args, Result&, std::string& error) {
    const char* help =
        "setAttr NODE.attr VALUE | setAttr NODE.attr -type doubleArray|Int32Array COUNT VALUES...";
    if (args.size() < 2)
        return usage(error, help);
    Scene& scene = Scene::get();
    std::shared_ptr<Node> node;
    int attr;
    MStatus status = scene.resolvePlug(args[0], node, attr, error);
    if (!status)
        return status;
    const Attribute& a = *node->attrs[attr];
    Value value;
    if (args[1] == "-type") {
        if (args.size() < 4)
            return usage(error, help);
        const std::string& kind = args[2];
        double count;
        if (!parseNumber(args[3], count) || !(count >= 0) || count != std::floor(count) ||
            count > static_cast<double>(args.size()) || args.size() != 4 + static_cast<size_t>(count)) {
            error = "the value count of '" + args[0] + "' does not match the values given";
            return MStatus::kInvalidParameter;
        }
        std::vector<double> numbers;
        for (size_t i = 4; i < args.size(); ++i) {
            double d;
            if (!parseNumber(args[i], d)) {
                error = "'" + args[i] + "' is not a number";
                return MStatus::kInvalidParameter;
            }
            numbers.push_back(d);
        }
        if (kind == "doubleArray") {
            auto data = std::make_shared<DoubleArrayData>();
            data->values = numbers;
            value.data = data;
        } else if (kind == "Int32Array") {
            auto data = std::make_shared<IntArrayData>();
            for (double d : numbers) {
                if (!(d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max()) ||
                    d != std::floor(d)) {
                    error = "'" + gxFormatDouble(d) + "' is not a 32-bit integer";
                    return MStatus::kInvalidParameter;
                }
                data->values.push_back(static_cast<int>(d));
            }
            value.data = data;
        } else {
            error = "unsupported data type '" + kind + "'";
            return MStatus::kInvalidParameter;
        }
    } else {
        if (args.size() != 2)
            return usage(error, help);
        bool ok = parseNumber(args[1], value.number);
        if (!ok && a.kind == Attribute::Kind::Enum)
            for (auto& f : a.fields)
                if (f.first == args[1]) {
                    value.number = f.second;
                    ok = true;
                }
        if (!ok || (a.kind != Attribute::Kind::Typed && !a.holds(value.number))) {
            error = "'" + args[1] + "' is not a value for '" + node->plugName(attr) + "'";
            return MStatus::kInvalidParameter;
        }
    }
    return scene.writeValue(node.get(), attr, value, &error);
}

MStatus getAttrCmd(const Args& args, Result& result, std::string& error) {
    bool asString = false;
    Args plugs;
    for (const std::string& a : args) {
        if (a == "-asString")
            asString = true;
        else
            plugs.push_back(a);
    }
    if (plugs.size() != 1)
        return usage(error, "getAttr [-asString] NODE.attr");
    Scene& scene = Scene::get();
    std::shared_ptr<Node> node;
    int attr;
    MStatus status = scene.resolvePlug(plugs[0], node, attr, error);
    if (!status)
        return status;
    Value value;
    status = scene.readValue(node.get(), attr, value);
    if (!status) {
        error = "Couldn't evaluate '" + node->plugName(attr) + "'";
        return status;
    }
    const Attribute& a = *node->attrs[attr];
    result.clear();
    if (a.kind != Attribute::Kind::Typed) {
        if (asString && a.kind == Attribute::Kind::Enum)
            for (auto& f : a.fields)
                if (f.second == static_cast<short>(value.number))
                    result.push_back(f.first);
        if (result.empty())
            result.push_back(gxFormatDouble(value.number));
        return MStatus::kSuccess;
    }
    if (!value.data)
        return MStatus::kSuccess;
    if (auto d = std::dynamic_pointer_cast<DoubleArrayData>(value.data)) {
        for (double v : d->values)
            result.push_back(gxFormatDouble(v));
    } else if (auto i = std::dynamic_pointer_cast<IntArrayData>(value.data)) {
        for (int v : i->values)
            result.push_back(std::to_string(v));
    } else if (auto m = std::dynamic_pointer_cast<MeshData>(value.data)) {
        result.push_back(std::to_string(m->mesh->numPoints()) + " vertices");
        result.push_back(std::to_string(m->mesh->numFaces()) + " faces");
    } else {
        std::string text;
        status = writeDataASCII(MObject(value.data), text);
        if (!status) {
            error = "The data of '" + node->plugName(attr) + "' cannot be written";
            return status;
        }
        result.push_back(text);
    }
    return MStatus::kSuccess;
}

MStatus deleteCmd(const Args& args, Result&, std::string& error) {
    if (args.empty())
        return usage(error, "delete NODE...");
    Scene& scene = Scene::get();
    for (const std::string& name : args) {
        auto node = scene.findNode(name);
        if (!node) {
            error = "No node named '" + name + "'";
            return MStatus::kNotFound;
        }
        scene.deleteNode(node);
    }
    return MStatus::kSuccess;
}

MStatus loadPluginCmd(const Args& args, Result& result, std::string& error) {
    if (args.size() != 1)
        return usage(error, "loadPlugin PATH");
    std::string name;
    MStatus status = Scene::get().loadPlugin(args[0], error, &name);
    if (status)
        result = {name};
    return status;
}

MStatus unloadPluginCmd(const Args& args, Result&, std::string& error) {
    if (args.size() != 1)
        return usage(error, "unloadPlugin NAME");
    return Scene::get().unloadPlugin(args[0], error);
}

MStatus selectCmd(const Args& args, Result&, std::string& error) {
    Scene& scene = Scene::get();
    bool add = false;
    for (const std::string& a : args) {
        if (a == "-cl" || a == "-clear") {
            scene.activeSelection.clear();
            return MStatus::kSuccess;
        }
        if (a == "-add")
            add = true;
    }
    if (!add)
        scene.activeSelection.clear();
    for (const std::string& a : args) {
        if (a[0] == '-')
            continue;
        bool found = false;
        for (auto& n : scene.nodes)
            if (fnmatch(a.c_str(), n->name.c_str(), 0) == 0) {
                found = true;
                if (std::find(scene.activeSelection.begin(), scene.activeSelection.end(), n) ==
                    scene.activeSelection.end())
                    scene.activeSelection.push_back(n);
            }
        if (!found) {
            error = "No object matches name: " + a;
            return MStatus::kNotFound;
        }
    }
    return MStatus::kSuccess;
}

MStatus lsCmd(const Args& args, Result& result, std::string& error) {
    Scene& scene = Scene::get();
    std::string type;
    bool selection = false;
    Args patterns;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-type" || args[i] == "-typ") && i + 1 < args.size())
            type = args[++i];
        else if (args[i] == "-sl" || args[i] == "-selection")
            selection = true;
        else if (args[i][0] == '-')
            return usage(error, "ls [-type TYPE] [-sl] [PATTERN...]");
        else
            patterns.push_back(args[i]);
    }
    result.clear();
    const auto& pool = selection ? scene.activeSelection : scene.nodes;
    for (auto& n : pool) {
        if (!type.empty() && n->type->name != type)
            continue;
        bool match = patterns.empty();
        for (auto& p : patterns)
            match = match || fnmatch(p.c_str(), n->name.c_str(), 0) == 0;
        if (match)
            result.push_back(n->name);
    }
    return MStatus::kSuccess;
}

// "mesh.f[12]" -> the mesh node and face 12.
MStatus parseFace(const std::string& text, MeshShape*& shape, MObject& nodeObj, int& face,
                  std::string& error) {
    size_t dot = text.find(".f[");
    if (dot == std::string::npos || text.back() != ']') {
        error = "'" + text + "' is not a face (expected mesh.f[index])";
        return MStatus::kInvalidParameter;
    }
    auto node = Scene::get().findNode(text.substr(0, dot));
    shape = node ? meshShapeOf(MObject(node)) : nullptr;
    if (!shape) {
        error = "No mesh named '" + text.substr(0, dot) + "'";
        return MStatus::kNotFound;
    }
    nodeObj = MObject(node);
    std::string index = text.substr(dot + 3, text.size() - dot - 4);
    char* end = nullptr;
    long f = std::strtol(index.c_str(), &end, 10);
    int faces = meshOf(nodeObj)->numFaces();
    if (index.empty() || *end != '\0' || f < 0 || f >= faces) {
        error = "Face index '" + index + "' of '" + node->name + "' is out of range (" +
                std::to_string(faces) + " faces)";
        return MStatus::kInvalidParameter;
    }
    face = static_cast<int>(f);
    return MStatus::kSuccess;
}

MStatus syncShaderCmd(const Args& args, Result&, std::string& error) {
    if (args.size() != 2)
        return usage(error, "lod_SyncShaderFaceToFace SOURCE.f[i] DESTINATION.f[j]");
    MeshShape *src, *dst;
    MObject srcObj, dstObj;
    int i, j;
    MStatus status = parseFace(args[0], src, srcObj, i, error);
    if (status)
        status = parseFace(args[1], dst, dstObj, j, error);
    if (!status)
        return status;
    std::string material = faceMaterial(srcObj, i);
    return setFaceMaterial(dstObj, j, material);
}

} // namespace

void registerBuiltinCommands(Scene& scene) {
    auto add = [&](const char* name, BuiltinCommand fn) {
        Command c;
        c.name = name;
        c.builtin = std::move(fn);
        scene.commands[name] = c;
    };
    add("createNode", createNodeCmd);
    add("connectAttr", connectCmd);
    add("disconnectAttr", disconnectCmd);
    add("setAttr", setAttrCmd);
    add("getAttr", getAttrCmd);
    add("delete", deleteCmd);
    add("loadPlugin", loadPluginCmd);
    add("unloadPlugin", unloadPluginCmd);
    add("select", selectCmd);
    add("ls", lsCmd);
    add("lod_SyncShaderFaceToFace", syncShaderCmd);
    registerMeshFileCommands(scene);
}

} // namespace gxhost
