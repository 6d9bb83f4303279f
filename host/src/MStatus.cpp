#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <ostream>

MString MStatus::errorString() const {
    switch (code_) {
    case kSuccess:
        return "(kSuccess): No error";
    case kFailure:
        return "(kFailure): Unexpected Internal Failure";
    case kInsufficientMemory:
        return "(kInsufficientMemory): Insufficient memory";
    case kInvalidParameter:
        return "(kInvalidParameter): Object is incompatible with this method";
    case kLicenseFailure:
        return "(kLicenseFailure): License failure";
    case kUnknownParameter:
        return "(kUnknownParameter): Unknown parameter";
    case kNotImplemented:
        return "(kNotImplemented): Not implemented";
    case kNotFound:
        return "(kNotFound): Object not found";
    case kEndOfFile:
        return "(kEndOfFile): End of file";
    }
    return "(unknown status)";
}

void MStatus::perror(const MString& prefix) const {
    MGlobal::displayError(prefix + ": " + errorString());
}

std::ostream& operator<<(std::ostream& os, const MStatus& status) {
    return os << status.errorString();
}
