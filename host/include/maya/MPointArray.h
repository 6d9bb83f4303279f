// MPointArray: a growable array of MPoint values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MPoint.h>

class MPointArray : public MArrayTemplate<MPoint> {
public:
    using MArrayTemplate<MPoint>::MArrayTemplate;
};
