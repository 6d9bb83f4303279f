#include "Data.h"

#include "Scene.h"

#include <maya/MPxData.h>

namespace gxhost {

std::shared_ptr<Data> MeshData::clone() const {
    auto copy = std::make_shared<MeshData>();
    *copy->mesh = *mesh;
    return copy;
}

PluginData::~PluginData() {
    delete data;
}

unsigned int PluginData::typeId() const {
    return type ? type->id : 0;
}

std::shared_ptr<Data> PluginData::clone() const {
    auto copy = type ? makePluginData(type->id) : nullptr;
    if (copy && copy->data && data)
        copy->data->copy(*data);
    return copy;
}

std::shared_ptr<PluginData> makePluginData(unsigned int id) {
    DataType* type = Scene::get().findDataType(id);
    if (!type || !type->create)
        return nullptr;
    MPxData* data = type->create();
    if (!data)
        return nullptr;
    return std::make_shared<PluginData>(type, data);
}

} // namespace gxhost
