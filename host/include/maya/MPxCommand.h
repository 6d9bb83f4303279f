// MPxCommand: base of plug-in commands. The interpreter creates one instance per invocation with the
// registered creator, calls doIt with the arguments and then deletes it (commands are not undoable
// in this host).
#pragma once

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

class MPxCommand {
public:
    MPxCommand() = default;
    virtual ~MPxCommand() = default;
    MPxCommand(const MPxCommand&) = delete;
    MPxCommand& operator=(const MPxCommand&) = delete;

    virtual MStatus doIt(const MArgList& args) = 0;
    virtual MStatus undoIt();
    virtual MStatus redoIt();
    virtual bool isUndoable() const { return false; }
    virtual bool hasSyntax() const { return false; }

    static void displayInfo(const MString& message);
    static void displayWarning(const MString& message);
    static void displayError(const MString& message);

    static void clearResult();
    static void setResult(const MString& result);
    static void setResult(const char* result) { setResult(MString(result)); }
    static void setResult(int result);
    static void setResult(double result);
    static void setResult(bool result);
    static void appendToResult(const MString& result);
    static void appendToResult(const char* result) { appendToResult(MString(result)); }
    static void appendToResult(int result);
    static void appendToResult(double result);
};
