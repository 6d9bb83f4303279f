#include "SlimInfoAttribute.h"

static FileVersion fileVersion_SlimInfoAttribute_cpp("$RCSfile: SlimInfoAttribute.cpp,v $",
                                                     "$Revision: 1.1 $", "$Date: 2026/12/05 19:45:00 $",
                                                     "Last modified by $Author: gradix $");

const MTypeId SlimInfoAttribute::id(0x001057C1);
const MString SlimInfoAttribute::typeName("SlimInfoAttributeGX");

void* SlimInfoAttribute::creator() {
    return new SlimInfoAttribute;
}

MStatus SlimInfoAttribute::readASCII(const MArgList&, unsigned int&) {
    return MStatus::kFailure;
}

MStatus SlimInfoAttribute::readBinary(std::istream&, unsigned int) {
    return MStatus::kFailure;
}

MStatus SlimInfoAttribute::writeASCII(std::ostream&) {
    return MStatus::kFailure;
}

MStatus SlimInfoAttribute::writeBinary(std::ostream&) {
    return MStatus::kFailure;
}

void SlimInfoAttribute::copy(const MPxData& source) {
    const SlimInfoAttribute& other = static_cast<const SlimInfoAttribute&>(source);
    model = other.model;
    engine = other.engine;
}

MTypeId SlimInfoAttribute::typeId() const {
    return id;
}

MString SlimInfoAttribute::name() const {
    return typeName;
}
