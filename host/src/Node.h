// Node: one dependency node of the scene: its type, unique name, plug-in object (MPxNode), attributes
// (the type's static ones, then its own dynamic ones) and one value slot per attribute.
#pragma once

#include "Attribute.h"
#include "Object.h"

#include <maya/MTypeId.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MPxNode;
class MPxSurfaceShapeUI;

namespace gxhost {

class Data;
class Node;
struct Plugin;

// The value of one attribute: a number for numeric and enum attributes, a data object (or none) for
// typed ones.
struct Value {
    double number = 0.0;
    std::shared_ptr<Data> data;
};

struct PlugRef {
    std::weak_ptr<Node> node;
    int attr = -1;
};

struct Slot {
    Value value;
    bool dirty = false;
    bool evaluating = false;      // compute or a pull is running for this slot
    bool pendingInternal = false; // a connected value has not reached setInternalValue yet
    bool inInternalCall = false;
    PlugRef source;                    // incoming connection
    std::vector<PlugRef> destinations; // outgoing connections
};

struct NodeType {
    std::string name;
    MTypeId id;
    int kind = 0; // MPxNode::Type
    std::function<MPxNode*()> create;
    std::function<MPxSurfaceShapeUI*()> createUI;
    std::vector<std::shared_ptr<Attribute>> attributes;
    std::map<int, std::vector<int>> affects; // attribute index -> attribute indices it affects
    Plugin* plugin = nullptr;                // null for built-in types
};

class Node : public Object, public std::enable_shared_from_this<Node> {
public:
    Node(const NodeType* type, std::string name);
    ~Node() override;

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;
    const char* apiTypeStr() const override { return "kDependencyNode"; }

    int attributeIndex(const Attribute* attribute) const;
    int attributeIndex(const std::string& name) const; // long or short name
    const std::vector<int>& affected(int attribute) const;
    std::string plugName(int attribute) const { return name + "." + attrs[attribute]->longName; }

    const NodeType* type;
    std::string name;
    std::vector<std::shared_ptr<Attribute>> attrs;
    std::vector<Slot> slots;
    MPxNode* user = nullptr;         // owned
    MPxSurfaceShapeUI* ui = nullptr; // owned, for shapes with a drawing class
    bool alive = true;
};

} // namespace gxhost
