// ExportFormat: the file formats the exporter writes, found by name or by a file's extension.
//
// What each keeps of a SceneMesh (limits of Assimp 5.2's writers):
//   gltf/glb  triangles only (polygons are triangulated), every UV set but not its name, normals,
//             float colours, materials, embedded images, hierarchy and transforms.
//   fbx       binary FBX 7.5: polygons, every UV set with its name, normals, colours, materials,
//             embedded images, hierarchy and transforms. "fbxascii" writes ASCII FBX, whose numbers Assimp
//             prints with six decimals only.
//   dae       polygons, every UV set, normals, colours without alpha, materials, hierarchy.
// glTF, glb and dae write a mesh instanced by several nodes once; the others write it per node.
//   obj       polygons, the first UV set, normals, colours without alpha, materials; transforms
//             are baked into the points and the hierarchy is flattened.
//   ply       binary little-endian ("ply-ascii": ASCII): polygons, the first UV set, normals, 8-bit
//             colours; one merged mesh, no materials.
#pragma once

#include "AssetContents.h"

#include <string>

namespace gxhost {

struct ExportFormat {
    const char* name;      // name accepted as an explicit format
    const char* extension; // file extension, lower case, without the dot (the first format of an
                           // extension is the one it picks)
    const char* assimpId;  // Assimp exporter id
    // Assimp joins vertices before this writer, and its join ignores colours and every UV set
    // after the first; the exporter then tags each vertex so that the join keeps it.
    bool joinsVertices;
    // Assimp's binary FBX writer leaves out the null records and the UV set names; the exporter
    // adds them (see AssimpFbxFixup.h).
    bool binaryFbx;
    // Written by Assimp as ASCII PLY and turned binary by the exporter (see PlyBinary.h).
    bool binaryPly;
    // What of a source asset's materials the writer stores (see MeshExporter.h).
    WriterKeeps keeps;
    // Nodes may share meshes (Assimp's FBX writer splits a shared multi-material mesh apart).
    bool instances;
};

// The format named `format`, or when that is empty the one for `path`'s extension. Null when
// there is none.
const ExportFormat* findExportFormat(const std::string& path, const std::string& format);

// The accepted format names, for messages: "gltf, glb, …".
std::string exportFormatNames();

} // namespace gxhost
