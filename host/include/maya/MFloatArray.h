// MFloatArray: a growable array of float values.
#pragma once

#include <maya/MArrayTemplate.h>

class MFloatArray : public MArrayTemplate<float> {
public:
    using MArrayTemplate<float>::MArrayTemplate;
};
