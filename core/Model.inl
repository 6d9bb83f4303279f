// Inline accessors of Model.
#pragma once

namespace gdx {

inline const Face& Model::face(uint32_t f) const {
    return faces_[f].face;
}
inline const FaceList& Model::vertexFaces(uint32_t v) const {
    return vertexFaces_[v];
}
inline FaceState& Model::faceState(uint32_t f) {
    return faces_[f].state;
}
inline const FaceState& Model::faceState(uint32_t f) const {
    return faces_[f].state;
}
inline VertexState& Model::vertexState(uint32_t v) {
    return vertexState_[v];
}
inline const VertexState& Model::vertexState(uint32_t v) const {
    return vertexState_[v];
}
inline uint32_t Model::wedgeAt(uint32_t f, uint32_t v) const {
    const Face& face = faces_[f].face;
    return face.wedge(face.cornerOf(v));
}

} // namespace gdx
