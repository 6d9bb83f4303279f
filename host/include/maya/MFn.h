// MFn: the kinds of host objects an MObject can refer to, for MObject::apiType and hasFn.
#pragma once

class MFn {
public:
    enum Type {
        kInvalid = 0,
        kBase,
        kNamedObject,
        kDependencyNode,
        kPluginDependNode,
        kSurfaceShape,
        kPluginShape,
        kMesh,
        kAttribute,
        kNumericAttribute,
        kTypedAttribute,
        kEnumAttribute,
        kData,
        kNumericData,
        kMeshData,
        kDoubleArrayData,
        kIntArrayData,
        kPluginData,
        kPlugin,
        kMeshPolygonComponent,
        kLast
    };
};
