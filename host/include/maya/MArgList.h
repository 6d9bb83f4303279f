// MArgList: the arguments of a command, as the interpreter split them. Every entry reads as a string;
// asInt/asDouble/asBool fail when the entry is not such a number.
#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

class MArgList {
public:
    MArgList() = default;

    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    MString asString(unsigned int index, MStatus* ReturnStatus = nullptr) const;
    double asDouble(unsigned int index, MStatus* ReturnStatus = nullptr) const;
    int asInt(unsigned int index, MStatus* ReturnStatus = nullptr) const;
    bool asBool(unsigned int index, MStatus* ReturnStatus = nullptr) const;
    unsigned int flagIndex(const char* shortFlag, const char* longFlag = nullptr) const;

    MStatus addArg(const MString& arg);
    MStatus addArg(double arg);
    MStatus addArg(int arg);
    MStatus addArg(bool arg);

    static const unsigned int kInvalidArgIndex = 0xFFFFFFFFu;

private:
    std::vector<MString> args_;
};
