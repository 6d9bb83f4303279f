#include "Faults.h"
#include "Scene.h"

#include <maya/MSelectionList.h>

#include <fnmatch.h>

using namespace gxhost;

MStatus MSelectionList::clear() {
    items_.clear();
    return MStatus::kSuccess;
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return items_.empty();
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(items_.size());
}

MStatus MSelectionList::add(const MString& matchString) {
    MStatus status;
    if (fault("MSelectionList::add", &status))
        return status;
    // "node.attr" and "node.f[3]" select the node.
    std::string pattern = matchString.str();
    size_t dot = pattern.find('.');
    if (dot != std::string::npos)
        pattern = pattern.substr(0, dot);
    bool found = false;
    for (auto& node : Scene::get().nodes)
        if (fnmatch(pattern.c_str(), node->name.c_str(), 0) == 0) {
            found = true;
            MObject o(node);
            bool present = false;
            for (auto& item : items_)
                present = present || item == o;
            if (!present)
                items_.push_back(o);
        }
    return found ? MStatus::kSuccess : MStatus::kInvalidParameter;
}

MStatus MSelectionList::add(const MObject& object) {
    if (object.isNull())
        return MStatus::kInvalidParameter;
    items_.push_back(object);
    return MStatus::kSuccess;
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= items_.size())
        return MStatus::kInvalidParameter;
    items_.erase(items_.begin() + index);
    return MStatus::kSuccess;
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    MStatus status;
    if (fault("MSelectionList::getDependNode", &status))
        return status;
    if (index >= items_.size())
        return MStatus::kInvalidParameter;
    depNode = items_[index];
    return MStatus::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    for (auto& item : items_)
        if (auto* node = dynamic_cast<Node*>(item.impl().get()))
            array.append(MString(node->name));
    return MStatus::kSuccess;
}
