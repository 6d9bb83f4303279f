// MSpace: the coordinate spaces of geometry queries. The host has no transforms, so every space reads
// the object's own coordinates.
#pragma once

class MSpace {
public:
    enum Space { kInvalid = 0, kTransform = 1, kPreTransform = 2, kPostTransform = 3, kWorld = 4, kLast = 5 };
    static constexpr Space kObject = kPreTransform;
};
