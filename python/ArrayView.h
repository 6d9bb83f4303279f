// ArrayView: reads the elements of a NumPy array where they lie, whatever its element type and
// strides, so that input arrays are never copied. An absent array has ndim == 0 and data == nullptr.
//
//   ArrayView v = viewOf(array);            // (Module side; the array must outlive the view)
//   double x = v.get(i, j);                 // element [i, j] converted to double
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace gradixpy {

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

// "(3, 2)"-style text of a view's shape, for messages.
std::string shapeText(const ArrayView& view);

} // namespace gradixpy
