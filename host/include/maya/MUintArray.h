// MUintArray: a growable array of unsigned int values.
#pragma once

#include <maya/MArrayTemplate.h>

class MUintArray : public MArrayTemplate<unsigned int> {
public:
    using MArrayTemplate<unsigned int>::MArrayTemplate;
};
