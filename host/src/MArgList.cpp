#include "Faults.h"

#include <maya/MArgList.h>

using gxhost::readFrom;
using gxhost::setStatus;

unsigned int MArgList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(args_.size());
}

namespace {

// Argument `index` of `args` when it exists and `fits`, else null.
template <typename F> const MString* argument(const std::vector<MString>& args, unsigned int index, F fits) {
    return index < args.size() && fits(args[index]) ? &args[index] : nullptr;
}

} // namespace

MString MArgList::asString(unsigned int index, MStatus* ReturnStatus) const {
    const MString* a = argument(args_, index, [](const MString&) { return true; });
    return readFrom(a, ReturnStatus, [](const MString& s) { return s; });
}

double MArgList::asDouble(unsigned int index, MStatus* ReturnStatus) const {
    const MString* a = argument(args_, index, [](const MString& s) { return s.isDouble(); });
    return readFrom(a, ReturnStatus, [](const MString& s) { return s.asDouble(); });
}

int MArgList::asInt(unsigned int index, MStatus* ReturnStatus) const {
    const MString* a = argument(args_, index, [](const MString& s) { return s.isInt(); });
    return readFrom(a, ReturnStatus, [](const MString& s) { return s.asInt(); });
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
