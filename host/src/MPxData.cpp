#include <maya/MPxData.h>

// The base data type cannot be saved or loaded; types that can override these.
MStatus MPxData::readASCII(const MArgList&, unsigned int&) {
    return MStatus::kFailure;
}
MStatus MPxData::readBinary(std::istream&, unsigned int) {
    return MStatus::kFailure;
}
MStatus MPxData::writeASCII(std::ostream&) {
    return MStatus::kFailure;
}
MStatus MPxData::writeBinary(std::ostream&) {
    return MStatus::kFailure;
}
