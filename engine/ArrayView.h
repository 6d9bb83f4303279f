// ArrayView: reads the elements of an array where they lie (a NumPy array's buffer, or values the
// tool holds), whatever its element type and strides, so that input arrays are never copied. An
// absent array has ndim == 0 and data == nullptr.
//
//   ArrayView v = packedView(points.data(), n, 3);  // the values must outlive the view
//   double x = v.get(i, j);                          // element [i, j] converted to double
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace gxengine {

class ArrayView {
public:
    enum class Type { F32, F64, I8, I16, I32, I64, U8, U16, U32, U64, OTHER };

    const char* data = nullptr;
    Type type = Type::OTHER;
    int ndim = 0;
    int64_t shape[3] = {0, 0, 0};
    int64_t strides[3] = {0, 0, 0}; // in bytes

    bool given() const { return data != nullptr || ndim > 0; }
    bool isFloat() const { return type == Type::F32 || type == Type::F64; }
    bool isInteger() const { return type != Type::OTHER && !isFloat(); }

    double get(int64_t i, int64_t j = 0, int64_t k = 0) const {
        const char* p = data + i * strides[0] + j * strides[1] + k * strides[2];
        switch (type) {
        case Type::F32:
            return read<float>(p);
        case Type::F64:
            return read<double>(p);
        case Type::I8:
            return read<int8_t>(p);
        case Type::I16:
            return read<int16_t>(p);
        case Type::I32:
            return read<int32_t>(p);
        case Type::I64:
            return double(read<int64_t>(p));
        case Type::U8:
            return read<uint8_t>(p);
        case Type::U16:
            return read<uint16_t>(p);
        case Type::U32:
            return read<uint32_t>(p);
        case Type::U64:
            return double(read<uint64_t>(p));
        case Type::OTHER:
            break;
        }
        return 0.0;
    }
    // An integer element; -1 for any value outside 0 .. 2^32 - 2 (callers range-check it).
    int64_t index(int64_t i, int64_t j) const {
        const char* p = data + i * strides[0] + j * strides[1];
        switch (type) {
        case Type::I32:
            return read<int32_t>(p);
        case Type::I64:
            return clampIndex(read<int64_t>(p));
        case Type::U32:
            return read<uint32_t>(p);
        case Type::U64:
            return read<uint64_t>(p) > 0xfffffffeull ? -1 : int64_t(read<uint64_t>(p));
        default:
            return clampIndex(int64_t(get(i, j)));
        }
    }

private:
    template <typename T> static T read(const char* p) {
        T value;
        std::memcpy(&value, p, sizeof(T));
        return value;
    }
    static int64_t clampIndex(int64_t v) { return v < 0 || v > 0xfffffffeLL ? -1 : v; }
};

// `rows` x `width` values of T packed at `data`; with `corners`, rows x corners x width (an attribute
// given per face corner). T is float, double or int32_t.
template <typename T> ArrayView packedView(const T* data, int64_t rows, int64_t width, int64_t corners = 0) {
    static_assert(std::is_same_v<T, float> || std::is_same_v<T, double> || std::is_same_v<T, int32_t>);
    ArrayView view;
    view.data = reinterpret_cast<const char*>(data);
    view.type = std::is_same_v<T, float>    ? ArrayView::Type::F32
                : std::is_same_v<T, double> ? ArrayView::Type::F64
                                            : ArrayView::Type::I32;
    view.ndim = corners ? 3 : 2;
    const int64_t row = (corners ? corners : 1) * width;
    view.shape[0] = rows;
    view.shape[1] = corners ? corners : width;
    view.shape[2] = corners ? width : 0;
    view.strides[0] = row * int64_t(sizeof(T));
    view.strides[1] = (corners ? width : 1) * int64_t(sizeof(T));
    view.strides[2] = corners ? int64_t(sizeof(T)) : 0;
    return view;
}

// "(3, 2)"-style text of a view's shape, for messages.
std::string shapeText(const ArrayView& view);

} // namespace gxengine
