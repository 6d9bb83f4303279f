#include "Faults.h"

#include <maya/MArgList.h>

using gxhost::setStatus;

unsigned int MArgList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(args_.size());
}

MString MArgList::asString(unsigned int index, MStatus* ReturnStatus) const {
    if (index >= args_.size()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return args_[index];
}

double MArgList::asDouble(unsigned int index, MStatus* ReturnStatus) const {
    if (index >= args_.size() || !args_[index].isDouble()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return 0.0;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return args_[index].asDouble();
}

int MArgList::asInt(unsigned int index, MStatus* ReturnStatus) const {
    if (index >= args_.size() || !args_[index].isInt()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return 0;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return args_[index].asInt();
}

bool MArgList::asBool(unsigned int index, MStatus* ReturnStatus) const {
    if (index < args_.size()) {
        const MString& a = args_[index];
        if (a == "true" || a == "on" || a == "yes" || a == "1") {
            setStatus(ReturnStatus, MStatus::kSuccess);
            return true;
        }
        if (a == "false" || a == "off" || a == "no" || a == "0") {
            setStatus(ReturnStatus, MStatus::kSuccess);
            return false;
        }
    }
    setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return false;
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const {
    for (unsigned int i = 0; i < args_.size(); ++i) {
        const std::string& a = args_[i].str();
        if (a.size() > 1 && a[0] == '-' &&
            ((shortFlag && a.substr(1) == shortFlag) || (longFlag && a.substr(1) == longFlag)))
            return i;
    }
    return kInvalidArgIndex;
}

MStatus MArgList::addArg(const MString& arg) {
    args_.push_back(arg);
    return MStatus::kSuccess;
}
MStatus MArgList::addArg(double arg) {
    return addArg(MString(gxFormatDouble(arg)));
}
MStatus MArgList::addArg(int arg) {
    return addArg(MString(std::to_string(arg)));
}
MStatus MArgList::addArg(bool arg) {
    return addArg(MString(arg ? "true" : "false"));
}
