// MVectorArray: a growable array of MVector values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MVector.h>

class MVectorArray : public MArrayTemplate<MVector> {
public:
    using MArrayTemplate<MVector>::MArrayTemplate;
};
