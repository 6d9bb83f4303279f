// A third unit including Versioned.h.
#include "Versioned.h"

int versionedUnitB() {
    return 2;
}
