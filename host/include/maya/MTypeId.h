// MTypeId: the 32-bit identifier of a node or data type.
#pragma once

class MTypeId {
public:
    MTypeId() = default;
    MTypeId(unsigned int id) : id_(id) {}
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xFFu)) {}

    unsigned int id() const { return id_; }
    bool operator==(const MTypeId& o) const { return id_ == o.id_; }
    bool operator!=(const MTypeId& o) const { return id_ != o.id_; }

private:
    unsigned int id_ = 0;
};
