#include "Node.h"

#include "Data.h"

#include <maya/MPxNode.h>
#include <maya/MPxSurfaceShapeUI.h>

namespace gxhost {

Node::Node(const NodeType* t, std::string n) : type(t), name(std::move(n)) {}

Node::~Node() {
    delete ui;
    delete user;
}

MFn::Type Node::apiType() const {
    if (type && type->name == "mesh")
        return MFn::kMesh;
    if (type && type->kind == MPxNode::kSurfaceShape)
        return MFn::kPluginShape;
    return type && type->plugin ? MFn::kPluginDependNode : MFn::kDependencyNode;
}

bool Node::hasFn(MFn::Type t) const {
    if (t == MFn::kBase || t == MFn::kNamedObject || t == MFn::kDependencyNode || t == apiType())
        return true;
    return t == MFn::kSurfaceShape && (apiType() == MFn::kMesh || apiType() == MFn::kPluginShape);
}

int Node::attributeIndex(const Attribute* attribute) const {
    for (size_t i = 0; i < attrs.size(); ++i)
        if (attrs[i].get() == attribute)
            return static_cast<int>(i);
    return -1;
}

int Node::attributeIndex(const std::string& n) const {
    for (size_t i = 0; i < attrs.size(); ++i)
        if (attrs[i]->longName == n)
            return static_cast<int>(i);
    for (size_t i = 0; i < attrs.size(); ++i)
        if (attrs[i]->shortName == n)
            return static_cast<int>(i);
    return -1;
}

const std::vector<int>& Node::affected(int attribute) const {
    static const std::vector<int> none;
    if (!type)
        return none;
    auto it = type->affects.find(attribute);
    return it == type->affects.end() ? none : it->second;
}

} // namespace gxhost
