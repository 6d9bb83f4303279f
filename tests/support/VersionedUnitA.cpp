// A second unit including Versioned.h.
#include "Versioned.h"
#include "VersionedRevision2.h"

int versionedUnitA() {
    return 1;
}
