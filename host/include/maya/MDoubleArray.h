// MDoubleArray: a growable array of double values.
#pragma once

#include <maya/MArrayTemplate.h>

class MDoubleArray : public MArrayTemplate<double> {
public:
    using MArrayTemplate<double>::MArrayTemplate;
};
