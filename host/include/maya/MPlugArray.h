// MPlugArray: a growable array of MPlug values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MPlug.h>

class MPlugArray : public MArrayTemplate<MPlug> {
public:
    using MArrayTemplate<MPlug>::MArrayTemplate;
};
