// MIntArray: a growable array of int values.
#pragma once

#include <maya/MArrayTemplate.h>

class MIntArray : public MArrayTemplate<int> {
public:
    using MArrayTemplate<int>::MArrayTemplate;
};
