// MObjectArray: a growable array of MObject values.
#pragma once

#include <maya/MArrayTemplate.h>
#include <maya/MObject.h>

class MObjectArray : public MArrayTemplate<MObject> {
public:
    using MArrayTemplate<MObject>::MArrayTemplate;
};
