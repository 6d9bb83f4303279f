#include "Scene.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MPxSurfaceShape.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace gxhost {

Scene& Scene::get() {
    static Scene scene;
    // The built-ins register through the public API, which itself asks for the scene.
    if (!scene.builtinsRegistered_) {
        scene.builtinsRegistered_ = true;
        registerMeshType(scene);
        registerBuiltinCommands(scene);
    }
    return scene;
}

Scene::Scene() = default;

Scene::~Scene() {
    // At process exit the plug-ins' own static objects may already be gone, so nodes are released
    // without running uninitializePlugin or closing the libraries.
    while (!nodes.empty())
        deleteNode(nodes.back());
}

NodeType* Scene::findType(const std::string& name) {
    for (auto& t : types)
        if (t->name == name)
            return t.get();
    return nullptr;
}

NodeType* Scene::findType(unsigned int id) {
    for (auto& t : types)
        if (t->id.id() == id)
            return t.get();
    return nullptr;
}

DataType* Scene::findDataType(unsigned int id) {
    for (auto& t : dataTypes)
        if (t->id == id)
            return t.get();
    return nullptr;
}

DataType* Scene::findDataType(const std::string& name) {
    for (auto& t : dataTypes)
        if (t->name == name)
            return t.get();
    return nullptr;
}

Command* Scene::findCommand(const std::string& name) {
    auto it = commands.find(name);
    return it == commands.end() ? nullptr : &it->second;
}

std::shared_ptr<Node> Scene::findNode(const std::string& name) const {
    for (auto& n : nodes)
        if (n->name == name)
            return n;
    return nullptr;
}

std::string Scene::uniqueName(const std::string& base) const {
    if (!base.empty() && !findNode(base))
        return base;
    std::string stem = base;
    while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back())))
        stem.pop_back();
    for (unsigned int i = 1;; ++i) {
        std::string candidate = stem + std::to_string(i);
        if (!findNode(candidate))
            return candidate;
    }
}

std::shared_ptr<Node> Scene::createNode(const std::string& typeName, const std::string& name,
                                        MStatus& status) {
    NodeType* type = findType(typeName);
    if (!type) {
        status = MStatus::kInvalidParameter;
        return nullptr;
    }
    MPxNode* user = type->create ? type->create() : nullptr;
    if (!user) {
        status = MStatus::kFailure;
        return nullptr;
    }
    // Unnamed nodes are numbered after their type: mesh1, mesh2, ...
    auto node = std::make_shared<Node>(type, uniqueName(name.empty() ? typeName + "1" : name));
    node->user = user;
    node->attrs = type->attributes;
    node->slots.resize(node->attrs.size());
    for (size_t i = 0; i < node->attrs.size(); ++i) {
        const Attribute& a = *node->attrs[i];
        node->slots[i].value.number = a.defaultNumber;
        if (a.defaultData)
            node->slots[i].value.data = a.defaultData->clone();
    }
    // Outputs start dirty so that their first read computes them.
    for (auto& entry : type->affects)
        for (int target : entry.second)
            node->slots[target].dirty = true;
    user->gxAttach(node.get());
    if (type->createUI) {
        node->ui = type->createUI();
        if (node->ui)
            node->ui->gxAttach(dynamic_cast<MPxSurfaceShape*>(user));
    }
    nodes.push_back(node);
    user->postConstructor();
    status = MStatus::kSuccess;
    return node;
}

void Scene::deleteNodes(const std::function<bool(const NodeType*)>& doomed) {
    std::vector<std::shared_ptr<Node>> picked;
    for (auto& n : nodes)
        if (doomed(n->type))
            picked.push_back(n);
    for (auto& n : picked)
        deleteNode(n);
}

MStatus Scene::deleteNode(std::shared_ptr<Node> node) {
    if (!node || !node->alive)
        return MStatus::kInvalidParameter;
    // A node on its way out is not evaluated while its connections are removed; what it fed keeps
    // the last value it received.
    node->alive = false;
    for (int a = 0; a < static_cast<int>(node->slots.size()); ++a) {
        if (auto src = node->slots[a].source.node.lock())
            disconnect(src.get(), node->slots[a].source.attr, node.get(), a);
        while (!node->slots[a].destinations.empty()) {
            PlugRef d = node->slots[a].destinations.back();
            auto dst = d.node.lock();
            if (!dst || !disconnect(node.get(), a, dst.get(), d.attr))
                node->slots[a].destinations.pop_back();
        }
    }
    nodes.erase(std::remove(nodes.begin(), nodes.end(), node), nodes.end());
    activeSelection.erase(std::remove(activeSelection.begin(), activeSelection.end(), node),
                          activeSelection.end());
    delete node->ui;
    node->ui = nullptr;
    delete node->user;
    node->user = nullptr;
    for (auto& s : node->slots)
        s.value.data.reset();
    node->type = nullptr; // the type may be deregistered while handles on the node remain
    return MStatus::kSuccess;
}

MStatus Scene::resolvePlug(const std::string& text, std::shared_ptr<Node>& node, int& attr,
                           std::string& error) const {
    size_t dot = text.find('.');
    if (dot == std::string::npos) {
        error = "'" + text + "' is not a plug (expected node.attribute)";
        return MStatus::kInvalidParameter;
    }
    node = findNode(text.substr(0, dot));
    if (!node) {
        error = "No node named '" + text.substr(0, dot) + "'";
        return MStatus::kNotFound;
    }
    attr = node->attributeIndex(text.substr(dot + 1));
    if (attr < 0) {
        error = "Node '" + node->name + "' has no attribute '" + text.substr(dot + 1) + "'";
        return MStatus::kNotFound;
    }
    return MStatus::kSuccess;
}

MStatus Scene::evaluate(Node* node, int attr) {
    if (!node->alive)
        return MStatus::kInvalidParameter;
    Slot& slot = node->slots[attr];
    if (!slot.dirty || slot.evaluating)
        return MStatus::kSuccess;
    std::shared_ptr<Node> keep = node->shared_from_this();
    slot.evaluating = true;
    if (auto src = slot.source.node.lock()) {
        int srcAttr = slot.source.attr;
        MStatus status = evaluate(src.get(), srcAttr);
        Slot& s = node->slots[attr];
        const Value& v = src->slots[srcAttr].value;
        s.value.data = v.data;
        s.value.number = node->attrs[attr]->storedNumber(v.number);
        s.dirty = false;
        s.evaluating = false;
        if (s.pendingInternal) {
            s.pendingInternal = false;
            if (node->attrs[attr]->internal)
                deliverInternal(node, attr);
        }
        return status;
    }
    MStatus status = MStatus::kUnknownParameter;
    if (node->user) {
        MDataBlock block(node);
        MPlug plug(MObject(keep), MObject(node->attrs[attr]));
        status = node->user->compute(plug, block);
    }
    if (!node->alive)
        return MStatus::kFailure;
    Slot& s = node->slots[attr];
    s.evaluating = false;
    if (status == MStatus::kUnknownParameter) {
        // The node does not compute this plug: its stored value stands.
        s.dirty = false;
        return MStatus::kSuccess;
    }
    return status;
}

MStatus Scene::readValue(Node* node, int attr, Value& out) {
    MStatus status = evaluate(node, attr);
    if (node->alive && node->attrs[attr]->internal && node->user && !node->slots[attr].inInternalCall) {
        node->slots[attr].inInternalCall = true;
        MPlug plug(MObject(node->shared_from_this()), MObject(node->attrs[attr]));
        MDataHandle handle(node, attr);
        node->user->getInternalValue(plug, handle);
        node->slots[attr].inInternalCall = false;
    }
    out = node->slots[attr].value;
    return status;
}

MStatus Scene::writeValue(Node* node, int attr, const Value& value, std::string* error) {
    const Attribute& a = *node->attrs[attr];
    auto fail = [&](MStatus::MStatusCode code, const std::string& text) {
        if (error)
            *error = text;
        return MStatus(code);
    };
    if (!node->alive)
        return fail(MStatus::kInvalidParameter, "Node '" + node->name + "' was deleted");
    if (!a.writable)
        return fail(MStatus::kInvalidParameter,
                    "The attribute '" + node->plugName(attr) + "' is not writable");
    if (!node->slots[attr].source.node.expired())
        return fail(MStatus::kInvalidParameter,
                    "The attribute '" + node->plugName(attr) + "' is connected and cannot be set");
    Slot& slot = node->slots[attr];
    if (a.kind == Attribute::Kind::Typed) {
        if (value.data && !a.accepts(*value.data))
            return fail(MStatus::kInvalidParameter,
                        "The attribute '" + node->plugName(attr) + "' expects " + a.kindName() + " data");
        slot.value.data = value.data;
    } else {
        if (value.data)
            return fail(MStatus::kInvalidParameter,
                        "The attribute '" + node->plugName(attr) + "' expects a number");
        slot.value.number = a.storedNumber(value.number);
    }
    slot.dirty = false;
    if (a.internal)
        deliverInternal(node, attr);
    propagateDirty(node, attr);
    return MStatus::kSuccess;
}

void Scene::deliverInternal(Node* node, int attr) {
    if (!node->user || node->slots[attr].inInternalCall)
        return;
    node->slots[attr].inInternalCall = true;
    MPlug plug(MObject(node->shared_from_this()), MObject(node->attrs[attr]));
    MDataHandle handle(node, attr);
    node->user->setInternalValue(plug, handle);
    if (attr < static_cast<int>(node->slots.size()))
        node->slots[attr].inInternalCall = false;
}

void Scene::propagateDirty(Node* node, int attr) {
    std::vector<std::pair<Node*, int>> stack{{node, attr}};
    std::set<std::pair<Node*, int>> seen{{node, attr}};
    while (!stack.empty()) {
        auto [n, a] = stack.back();
        stack.pop_back();
        for (int target : n->affected(a)) {
            n->slots[target].dirty = true;
            if (seen.insert({n, target}).second)
                stack.push_back({n, target});
        }
        for (const PlugRef& d : n->slots[a].destinations) {
            auto dst = d.node.lock();
            if (!dst)
                continue;
            dst->slots[d.attr].dirty = true;
            dst->slots[d.attr].pendingInternal = dst->attrs[d.attr]->internal;
            if (seen.insert({dst.get(), d.attr}).second)
                stack.push_back({dst.get(), d.attr});
        }
    }
}

MStatus Scene::connect(Node* src, int srcAttr, Node* dst, int dstAttr, bool force, std::string* error) {
    auto fail = [&](MStatus::MStatusCode code, const std::string& text) {
        if (error)
            *error = text;
        return MStatus(code);
    };
    const Attribute& a = *src->attrs[srcAttr];
    const Attribute& b = *dst->attrs[dstAttr];
    std::string from = src->plugName(srcAttr), to = dst->plugName(dstAttr);
    if (src == dst && srcAttr == dstAttr)
        return fail(MStatus::kInvalidParameter, "Cannot connect '" + from + "' to itself");
    if (!a.readable)
        return fail(MStatus::kInvalidParameter,
                    "The source attribute '" + from + "' is not readable and cannot be connected from");
    if (!b.writable)
        return fail(MStatus::kInvalidParameter,
                    "The destination attribute '" + to + "' is not writable and cannot be connected to");
    if (!a.connectable || !b.connectable)
        return fail(MStatus::kInvalidParameter, "'" + from + "' or '" + to + "' is not connectable");
    bool aTyped = a.kind == Attribute::Kind::Typed, bTyped = b.kind == Attribute::Kind::Typed;
    if (aTyped != bTyped || (aTyped && (a.dataType != b.dataType || (a.dataType == MFnData::kPlugin &&
                                                                     a.pluginTypeId != b.pluginTypeId))))
        return fail(MStatus::kInvalidParameter, "Cannot connect '" + from + "' (" + a.kindName() + ") to '" +
                                                    to + "' (" + b.kindName() + ")");
    Slot& in = dst->slots[dstAttr];
    if (auto old = in.source.node.lock()) {
        if (old.get() == src && in.source.attr == srcAttr)
            return fail(MStatus::kInvalidParameter, "'" + from + "' is already connected to '" + to + "'");
        if (!force)
            return fail(MStatus::kInvalidParameter, "'" + to + "' already has an incoming connection from '" +
                                                        old->plugName(in.source.attr) + "'");
        disconnect(old.get(), in.source.attr, dst, dstAttr);
    }
    dst->slots[dstAttr].source = PlugRef{src->shared_from_this(), srcAttr};
    src->slots[srcAttr].destinations.push_back(PlugRef{dst->shared_from_this(), dstAttr});
    dst->slots[dstAttr].dirty = true;
    dst->slots[dstAttr].pendingInternal = b.internal;
    propagateDirty(dst, dstAttr);
    return MStatus::kSuccess;
}

MStatus Scene::disconnect(Node* src, int srcAttr, Node* dst, int dstAttr, std::string* error) {
    Slot& in = dst->slots[dstAttr];
    if (in.source.node.lock().get() != src || in.source.attr != srcAttr) {
        if (error)
            *error = "'" + src->plugName(srcAttr) + "' is not connected to '" + dst->plugName(dstAttr) + "'";
        return MStatus::kInvalidParameter;
    }
    // The destination keeps the last value that came through the connection.
    if (dst->alive && src->alive && in.dirty)
        evaluate(dst, dstAttr);
    dst->slots[dstAttr].source = PlugRef{};
    dst->slots[dstAttr].dirty = false;
    dst->slots[dstAttr].pendingInternal = false;
    auto& outs = src->slots[srcAttr].destinations;
    outs.erase(
        std::remove_if(outs.begin(), outs.end(),
                       [&](const PlugRef& r) { return r.node.lock().get() == dst && r.attr == dstAttr; }),
        outs.end());
    if (dst->alive)
        propagateDirty(dst, dstAttr);
    return MStatus::kSuccess;
}

MStatus Scene::addDynamicAttribute(Node* node, const std::shared_ptr<Attribute>& attribute) {
    if (!attribute || attribute->added)
        return MStatus::kInvalidParameter;
    if (node->attributeIndex(attribute->longName) >= 0 || node->attributeIndex(attribute->shortName) >= 0)
        return MStatus::kInvalidParameter;
    attribute->added = true;
    node->attrs.push_back(attribute);
    Slot slot;
    slot.value.number = attribute->defaultNumber;
    if (attribute->defaultData)
        slot.value.data = attribute->defaultData->clone();
    node->slots.push_back(std::move(slot));
    return MStatus::kSuccess;
}

void Scene::dropPlugin(const Plugin* plugin) {
    deleteNodes([&](const NodeType* t) { return t && t->plugin == plugin; });
    types.erase(std::remove_if(types.begin(), types.end(), [&](auto& t) { return t->plugin == plugin; }),
                types.end());
    for (auto it = commands.begin(); it != commands.end();)
        it = it->second.plugin == plugin ? commands.erase(it) : std::next(it);
    auto owned = [&](const std::shared_ptr<Data>& d) {
        auto pd = std::dynamic_pointer_cast<PluginData>(d);
        return pd && pd->type && pd->type->plugin == plugin;
    };
    for (auto& n : nodes)
        for (auto& s : n->slots)
            if (owned(s.value.data))
                s.value.data.reset();
    for (auto& t : types)
        for (auto& a : t->attributes)
            if (owned(a->defaultData))
                a->defaultData.reset();
    dataTypes.erase(
        std::remove_if(dataTypes.begin(), dataTypes.end(), [&](auto& t) { return t->plugin == plugin; }),
        dataTypes.end());
}

void Scene::reset() {
    while (!nodes.empty())
        deleteNode(nodes.back());
    while (!plugins.empty()) {
        std::string error;
        std::string name = plugins.back()->path;
        if (!unloadPlugin(name, error)) {
            // A plug-in that refuses to unload is removed anyway: the scene starts empty.
            dropPlugin(plugins.back().get());
            plugins.pop_back();
        }
    }
    activeSelection.clear();
    commandResult.clear();
}

} // namespace gxhost
