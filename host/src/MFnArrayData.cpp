// The array-data function sets: one body for the double and the int arrays. Each operation is
// named after the concrete function set ("MFnDoubleArrayData::create"), so faults and messages
// keep naming what the plug-in called.
#include "Access.h"
#include "Faults.h"

#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>

#include <string>

using namespace gxhost;

namespace {
template <typename Array> struct Traits;
template <> struct Traits<MDoubleArray> {
    using Data = DoubleArrayData;
    static constexpr const char* name = "MFnDoubleArrayData::";
};
template <> struct Traits<MIntArray> {
    using Data = IntArrayData;
    static constexpr const char* name = "MFnIntArrayData::";
};

template <typename Array> bool failed(const char* operation, MStatus* status) {
    return fault((std::string(Traits<Array>::name) + operation).c_str(), status);
}
} // namespace

template <typename Array, typename Element, MFn::Type K>
MStatus MFnArrayData<Array, Element, K>::setObject(const MObject& object) {
    return attach((std::string(Traits<Array>::name) + "setObject").c_str(),
                  bool(asData<typename Traits<Array>::Data>(object)), obj_, object);
}

template <typename Array, typename Element, MFn::Type K>
MObject MFnArrayData<Array, Element, K>::create(MStatus* ReturnStatus) {
    return create(Array(), ReturnStatus);
}

template <typename Array, typename Element, MFn::Type K>
MObject MFnArrayData<Array, Element, K>::create(const Array& in, MStatus* ReturnStatus) {
    if (failed<Array>("create", ReturnStatus))
        return MObject();
    auto data = std::make_shared<typename Traits<Array>::Data>();
    data->values = in.vec();
    return adopt(obj_, MObject(data), ReturnStatus);
}

template <typename Array, typename Element, MFn::Type K>
unsigned int MFnArrayData<Array, Element, K>::length(MStatus* ReturnStatus) const {
    if (failed<Array>("length", ReturnStatus))
        return 0;
    return readFrom(asData<typename Traits<Array>::Data>(obj_), ReturnStatus,
                    [](auto& d) { return static_cast<unsigned int>(d.values.size()); });
}

template <typename Array, typename Element, MFn::Type K>
Element MFnArrayData<Array, Element, K>::operator[](unsigned int index) const {
    auto data = asData<typename Traits<Array>::Data>(obj_);
    return data && index < data->values.size() ? data->values[index] : Element();
}

template <typename Array, typename Element, MFn::Type K>
MStatus MFnArrayData<Array, Element, K>::set(Element element, unsigned int index) {
    auto data = asData<typename Traits<Array>::Data>(obj_);
    if (!data || index >= data->values.size())
        return MStatus::kInvalidParameter;
    data->values[index] = element;
    return MStatus::kSuccess;
}

template <typename Array, typename Element, MFn::Type K>
MStatus MFnArrayData<Array, Element, K>::set(const Array& newArray) {
    MStatus status;
    if (failed<Array>("set", &status))
        return status;
    auto data = asData<typename Traits<Array>::Data>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    data->values = newArray.vec();
    return MStatus::kSuccess;
}

template <typename Array, typename Element, MFn::Type K>
MStatus MFnArrayData<Array, Element, K>::copyTo(Array& dest) const {
    auto data = asData<typename Traits<Array>::Data>(obj_);
    if (!data)
        return MStatus::kInvalidParameter;
    dest.vec() = data->values;
    return MStatus::kSuccess;
}

template <typename Array, typename Element, MFn::Type K>
Array MFnArrayData<Array, Element, K>::array(MStatus* ReturnStatus) const {
    Array out;
    if (failed<Array>("array", ReturnStatus))
        return out;
    setStatus(ReturnStatus, copyTo(out));
    return out;
}

template class MFnArrayData<MDoubleArray, double, MFn::kDoubleArrayData>;
template class MFnArrayData<MIntArray, int, MFn::kIntArrayData>;
