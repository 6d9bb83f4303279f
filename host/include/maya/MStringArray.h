// MStringArray: a growable array of MString values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MString.h>

class MStringArray : public MArrayTemplate<MString> {
public:
    using MArrayTemplate<MString>::MArrayTemplate;
};
