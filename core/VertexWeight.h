// VertexWeight: the per-vertex weights the engine scales pair costs with. This base class is the
// uniform case (every vertex weighs 1.0); HierarchicWeight follows vertices through merges.
#pragma once

#include <cstdint>

namespace gdx {

class VertexWeight {
public:
    virtual ~VertexWeight() = default;
    virtual float getWeight(uint32_t /*vertex*/) { return 1.0f; }
    virtual void setWeight(uint32_t /*vertex*/, float /*weight*/) {}
    // b was merged into a.
    virtual void contractVertices(uint32_t /*kept*/, uint32_t /*removed*/) {}
    // The last merge into a was undone.
    virtual void uncontractVertex(uint32_t /*kept*/) {}
};

} // namespace gdx
