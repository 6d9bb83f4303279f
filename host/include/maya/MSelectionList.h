// MSelectionList: a list of nodes; `add` resolves node names (and "*"-patterns) in the scene.
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <vector>

class MSelectionList {
public:
    MSelectionList() = default;

    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = nullptr) const;
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    // Adds every node whose name matches; fails with kInvalidParameter when none does.
    MStatus add(const MString& matchString);
    MStatus add(const MObject& object);
    MStatus remove(unsigned int index);
    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus getSelectionStrings(MStringArray& array) const;

private:
    std::vector<MObject> items_;
};
