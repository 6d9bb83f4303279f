// MPxData: base of plug-in data types. The host creates instances with the creator registered by
// MFnPlugin::registerData, copies them with `copy`, and saves/loads them with the read/write slots.
#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <iosfwd>

class MArgList;

class MPxData {
public:
    enum Type { kData, kGeometryData, kLast };

    MPxData() = default;
    virtual ~MPxData() = default;

    virtual MStatus readASCII(const MArgList& argList, unsigned int& endOfTheLastParsedElement);
    virtual MStatus readBinary(std::istream& in, unsigned int length);
    virtual MStatus writeASCII(std::ostream& out);
    virtual MStatus writeBinary(std::ostream& out);
    virtual void copy(const MPxData& src) = 0;
    virtual MTypeId typeId() const = 0;
    virtual MString name() const = 0;
};
