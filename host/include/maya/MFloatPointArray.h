// MFloatPointArray: a growable array of MFloatPoint values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MFloatPoint.h>

class MFloatPointArray : public MArrayTemplate<MFloatPoint> {
public:
    using MArrayTemplate<MFloatPoint>::MArrayTemplate;
};
