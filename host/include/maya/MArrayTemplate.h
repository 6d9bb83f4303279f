// MArrayTemplate: the growable array behind the host's value arrays (MIntArray, MPointArray, ...).
// Each array class derives from it with its element type; element access is unchecked like the host's.
#pragma once

#include <maya/MStatus.h>

#include <vector>

template <typename T> class MArrayTemplate {
public:
    MArrayTemplate() = default;
    MArrayTemplate(unsigned int length, const T& initial = T()) : v_(length, initial) {}
    MArrayTemplate(const T* source, unsigned int count) : v_(source, source + count) {}

    unsigned int length() const { return static_cast<unsigned int>(v_.size()); }
    MStatus setLength(unsigned int length) {
        v_.resize(length, T());
        return MStatus::kSuccess;
    }
    MStatus clear() {
        v_.clear();
        return MStatus::kSuccess;
    }
    MStatus append(const T& value) {
        v_.push_back(value);
        return MStatus::kSuccess;
    }
    MStatus remove(unsigned int index) {
        if (index >= v_.size())
            return MStatus::kInvalidParameter;
        v_.erase(v_.begin() + index);
        return MStatus::kSuccess;
    }
    MStatus insert(const T& value, unsigned int index) {
        if (index > v_.size())
            return MStatus::kInvalidParameter;
        v_.insert(v_.begin() + index, value);
        return MStatus::kSuccess;
    }
    MStatus set(const T& value, unsigned int index) {
        if (index >= v_.size())
            return MStatus::kInvalidParameter;
        v_[index] = value;
        return MStatus::kSuccess;
    }
    MStatus copy(const MArrayTemplate& source) {
        v_ = source.v_;
        return MStatus::kSuccess;
    }
    void setSizeIncrement(unsigned int) {}
    MStatus get(T* destination) const {
        for (size_t i = 0; i < v_.size(); ++i)
            destination[i] = v_[i];
        return MStatus::kSuccess;
    }

    T& operator[](unsigned int index) { return v_[index]; }
    const T& operator[](unsigned int index) const { return v_[index]; }

    std::vector<T>& vec() { return v_; }
    const std::vector<T>& vec() const { return v_; }

private:
    std::vector<T> v_;
};
