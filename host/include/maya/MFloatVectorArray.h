// MFloatVectorArray: a growable array of MFloatVector values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MFloatVector.h>

class MFloatVectorArray : public MArrayTemplate<MFloatVector> {
public:
    using MArrayTemplate<MFloatVector>::MArrayTemplate;
};
