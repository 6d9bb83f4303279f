// MColorArray: a growable array of MColor values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MColor.h>

class MColorArray : public MArrayTemplate<MColor> {
public:
    using MArrayTemplate<MColor>::MArrayTemplate;
};
