// MGlobal: host-wide services: messages to the user, command execution, the active selection.
#pragma once

#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

class MGlobal {
public:
    enum MayaState { kInteractive, kBatch, kLibraryApp };
    enum ListAdjustment { kReplaceList, kXORWithList, kRemoveFromList, kAddToList };

    static void displayInfo(const MString& theMessage);
    static void displayWarning(const MString& theWarning);
    static void displayError(const MString& theError);

    // Runs command text (one command per line) through the interpreter.
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MIntArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    // Runs a script file; an error names the file and line.
    static MStatus sourceFile(const MString& fileName);

    static MStatus getActiveSelectionList(MSelectionList& dest);
    static MStatus setActiveSelectionList(const MSelectionList& src, ListAdjustment mode = kReplaceList);
    static MStatus selectByName(const MString& name, ListAdjustment mode = kAddToList);
    static MStatus clearSelectionList();
    static MayaState mayaState(MStatus* ReturnStatus = nullptr) { return (void)ReturnStatus, kLibraryApp; }
};
