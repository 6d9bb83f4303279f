// SlimInfoAttribute: the data type that carries a handle on one main node's simplification state
// (its Model and QSlim engine) through a plug connection, from "Gradix".outSlimInfo to the
// visualizer. It borrows both objects: a consumer reads the plug anew at each use and never keeps
// the pointers. The type cannot be saved: every read and write fails.
#pragma once

#include "FileVersion.h"

#include <maya/MPxData.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

namespace gdx {
class Model;
class QSlim;
} // namespace gdx

class SlimInfoAttribute : public MPxData {
public:
    SlimInfoAttribute() = default;
    ~SlimInfoAttribute() override = default;

    MStatus readASCII(const MArgList& argList, unsigned int& endOfTheLastParsedElement) override;
    MStatus readBinary(std::istream& in, unsigned int length) override;
    MStatus writeASCII(std::ostream& out) override;
    MStatus writeBinary(std::ostream& out) override;
    void copy(const MPxData& source) override;
    MTypeId typeId() const override;
    MString name() const override;

    static void* creator();

    static const MTypeId id;
    static const MString typeName;

    gdx::Model* model = nullptr;
    gdx::QSlim* engine = nullptr;
};

static FileVersion fileVersion_SlimInfoAttribute_h("$RCSfile: SlimInfoAttribute.h,v $", "$Revision: 1.1 $",
                                                   "$Date: 2026/12/05 19:45:00 $",
                                                   "Last modified by $Author: gradix $");
