#include "Access.h"
#include "Faults.h"
#include "Scene.h"

#include <maya/MFnPlugin.h>
#include <maya/MPxCommand.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <algorithm>

using namespace gxhost;

namespace {

Plugin* pluginOf(const MObject& o) {
    return dynamic_cast<Plugin*>(o.impl().get());
}

// Runs `body` (a registration or deregistration) for the plug-in `o`: the operation `op` may be made to
// fail first; without a plug-in it fails.
template <typename F> MStatus withPlugin(const char* op, const MObject& o, F body) {
    MStatus status;
    if (fault(op, &status))
        return status;
    Plugin* p = pluginOf(o);
    return p ? body(Scene::get(), *p) : MStatus::kFailure;
}

// Runs the deregistration `op` for the plug-in `o`: `find` looks up what goes, which fails unless it
// belongs to the plug-in; `remove` removes it.
template <typename Find, typename Remove>
MStatus deregister(const char* op, const MObject& o, Find find, Remove remove) {
    return withPlugin(op, o, [&](Scene& scene, Plugin& p) {
        auto* item = find(scene);
        if (!item || item->plugin != &p)
            return MStatus::kFailure;
        remove(scene, item);
        return MStatus::kSuccess;
    });
}

} // namespace

MFnPlugin::MFnPlugin(const MObject& object, const char* vendor, const char* version,
                     const char* requiredApiVersion, MStatus* ReturnStatus) {
    Plugin* p = pluginOf(object);
    if (!p) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return;
    }
    obj_ = object;
    // The identity given at load time stays; unloading wraps the object with placeholders.
    if (vendor && std::string(vendor) != "Unknown")
        p->vendor = vendor;
    if (version && std::string(version) != "Unknown")
        p->version = version;
    if (requiredApiVersion)
        p->requiredApiVersion = requiredApiVersion;
    setStatus(ReturnStatus, MStatus::kSuccess);
}

MString MFnPlugin::vendor(MStatus* ReturnStatus) const {
    return readFrom(pluginOf(obj_), ReturnStatus, [](auto& p) { return MString(p.vendor); });
}

MString MFnPlugin::version(MStatus* ReturnStatus) const {
    return readFrom(pluginOf(obj_), ReturnStatus, [](auto& p) { return MString(p.version); });
}

MString MFnPlugin::apiVersion(MStatus* ReturnStatus) const {
    return readFrom(pluginOf(obj_), ReturnStatus, [](auto& p) { return MString(p.apiVersion); });
}

MString MFnPlugin::name(MStatus* ReturnStatus) const {
    return readFrom(pluginOf(obj_), ReturnStatus, [](auto& p) { return MString(p.name); });
}

MString MFnPlugin::loadPath(MStatus* ReturnStatus) const {
    Plugin* p = pluginOf(obj_);
    setStatus(ReturnStatus, p ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!p)
        return MString();
    size_t slash = p->path.rfind('/');
    return MString(slash == std::string::npos ? std::string(".") : p->path.substr(0, slash));
}

MStatus MFnPlugin::registerData(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MPxData::Type type) {
    return withPlugin("MFnPlugin::registerData", obj_, [&](Scene& scene, Plugin& p) {
        if (!creatorFunction || typeName.isEmpty() || scene.findDataType(typeId.id()) ||
            scene.findDataType(typeName.str()))
            return MStatus::kFailure;
        auto dt = std::make_unique<DataType>();
        dt->name = typeName.str();
        dt->id = typeId.id();
        dt->kind = type;
        dt->create = [creatorFunction]() { return static_cast<MPxData*>(creatorFunction()); };
        dt->plugin = &p;
        scene.dataTypes.push_back(std::move(dt));
        return MStatus::kSuccess;
    });
}

namespace {

// Removes a node type. Its attribute objects may be added again: a library that stays mapped may
// register them again.
void removeType(Scene& scene, const NodeType* type) {
    for (auto& a : type->attributes)
        a->added = false;
    scene.types.erase(
        std::remove_if(scene.types.begin(), scene.types.end(), [&](auto& t) { return t.get() == type; }),
        scene.types.end());
}

MStatus addNodeType(Scene& scene, Plugin& p, const MString& typeName, const MTypeId& typeId,
                    MCreatorFunction creatorFunction, MInitializeFunction initFunction, int kind,
                    MCreatorFunction uiCreator) {
    if (!creatorFunction || typeName.isEmpty() || scene.findType(typeName.str()) ||
        scene.findType(typeId.id()))
        return MStatus::kFailure;
    auto type = std::make_unique<NodeType>();
    type->name = typeName.str();
    type->id = typeId;
    type->kind = kind;
    type->create = [creatorFunction]() { return static_cast<MPxNode*>(creatorFunction()); };
    if (uiCreator)
        type->createUI = [uiCreator]() { return static_cast<MPxSurfaceShapeUI*>(uiCreator()); };
    type->plugin = &p;
    NodeType* raw = type.get();
    scene.types.push_back(std::move(type));
    MStatus status = MStatus::kSuccess;
    if (initFunction) {
        scene.typeUnderInit = raw;
        status = initFunction();
        scene.typeUnderInit = nullptr;
    }
    if (!status)
        removeType(scene, raw); // a type whose attributes could not be made is not registered
    return status;
}

} // namespace

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString*) {
    return withPlugin("MFnPlugin::registerNode", obj_, [&](Scene& scene, Plugin& p) {
        return addNodeType(scene, p, typeName, typeId, creatorFunction, initFunction, type, nullptr);
    });
}

MStatus MFnPlugin::registerShape(const MString& typeName, const MTypeId& typeId,
                                 MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                 MCreatorFunction uiCreatorFunction, const MString*) {
    return withPlugin("MFnPlugin::registerShape", obj_, [&](Scene& scene, Plugin& p) -> MStatus {
        if (!uiCreatorFunction)
            return MStatus::kFailure;
        return addNodeType(scene, p, typeName, typeId, creatorFunction, initFunction, MPxNode::kSurfaceShape,
                           uiCreatorFunction);
    });
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction) {
    return withPlugin("MFnPlugin::registerCommand", obj_, [&](Scene& scene, Plugin& p) {
        if (!creatorFunction || commandName.isEmpty() || scene.findCommand(commandName.str()))
            return MStatus::kFailure;
        Command c;
        c.name = commandName.str();
        c.create = [creatorFunction]() { return static_cast<MPxCommand*>(creatorFunction()); };
        c.plugin = &p;
        scene.commands[c.name] = c;
        return MStatus::kSuccess;
    });
}

MStatus MFnPlugin::deregisterData(const MTypeId& typeId) {
    return deregister(
        "MFnPlugin::deregisterData", obj_, [&](Scene& scene) { return scene.findDataType(typeId.id()); },
        [](Scene& scene, DataType* dt) {
            // Values of the type still held by nodes go first: their code lives in the plug-in.
            for (auto& n : scene.nodes)
                for (auto& s : n->slots) {
                    auto pd = std::dynamic_pointer_cast<PluginData>(s.value.data);
                    if (pd && pd->type == dt)
                        s.value.data.reset();
                }
            scene.dataTypes.erase(std::remove_if(scene.dataTypes.begin(), scene.dataTypes.end(),
                                                 [&](auto& t) { return t.get() == dt; }),
                                  scene.dataTypes.end());
        });
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    return deregister(
        "MFnPlugin::deregisterNode", obj_, [&](Scene& scene) { return scene.findType(typeId.id()); },
        [](Scene& scene, NodeType* type) {
            scene.deleteNodes([&](const NodeType* t) { return t == type; });
            removeType(scene, type);
        });
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    return deregister(
        "MFnPlugin::deregisterCommand", obj_,
        [&](Scene& scene) { return scene.findCommand(commandName.str()); },
        [&](Scene& scene, Command*) { scene.commands.erase(commandName.str()); });
}
