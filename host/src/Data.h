// Data: the values that typed attributes carry. Data objects are shared by reference between plugs;
// clone() gives an independent copy.
#pragma once

#include "MeshGeom.h"
#include "Object.h"

#include <maya/MFnData.h>
#include <maya/MTypeId.h>

#include <memory>
#include <vector>

class MPxData;

namespace gxhost {

struct DataType;

class Data : public Object {
public:
    virtual MFnData::Type dataType() const = 0;
    virtual std::shared_ptr<Data> clone() const = 0;
    bool hasFn(MFn::Type type) const override { return type == MFn::kData || Object::hasFn(type); }
};

class MeshData : public Data {
public:
    MeshData() : mesh(std::make_shared<MeshGeom>()) {}
    MFn::Type apiType() const override { return MFn::kMeshData; }
    bool hasFn(MFn::Type type) const override { return type == MFn::kMesh || Data::hasFn(type); }
    const char* apiTypeStr() const override { return "kMeshData"; }
    MFnData::Type dataType() const override { return MFnData::kMesh; }
    std::shared_ptr<Data> clone() const override;

    std::shared_ptr<MeshGeom> mesh;
};

// An array of doubles or ints.
template <typename T, MFn::Type Api, MFnData::Type Kind> class ArrayData : public Data {
public:
    MFn::Type apiType() const override { return Api; }
    const char* apiTypeStr() const override {
        return Api == MFn::kDoubleArrayData ? "kDoubleArrayData" : "kIntArrayData";
    }
    MFnData::Type dataType() const override { return Kind; }
    std::shared_ptr<Data> clone() const override { return std::make_shared<ArrayData>(*this); }

    std::vector<T> values;
};
using DoubleArrayData = ArrayData<double, MFn::kDoubleArrayData, MFnData::kDoubleArray>;
using IntArrayData = ArrayData<int, MFn::kIntArrayData, MFnData::kIntArray>;

// An instance of a plug-in data type; owns the MPxData its type's creator made.
class PluginData : public Data {
public:
    PluginData(const DataType* type, MPxData* data) : type(type), data(data) {}
    ~PluginData() override;
    MFn::Type apiType() const override { return MFn::kPluginData; }
    const char* apiTypeStr() const override { return "kPluginData"; }
    MFnData::Type dataType() const override { return MFnData::kPlugin; }
    std::shared_ptr<Data> clone() const override;
    unsigned int typeId() const;

    const DataType* type;
    MPxData* data;
};

// Makes a data object of the registered plug-in type `id`; null when the type is unknown or its
// creator fails.
std::shared_ptr<PluginData> makePluginData(unsigned int id);

} // namespace gxhost
