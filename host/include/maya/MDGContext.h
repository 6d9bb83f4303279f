// MDGContext: the evaluation context of a plug read. Only the normal context exists in this host.
#pragma once

class MDGContext {
public:
    MDGContext() = default;
    bool isNormal() const { return true; }
    static MDGContext fsNormal;
};
