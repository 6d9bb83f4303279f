// The same file text as Versioned.h at another revision: a second, distinct record.
#pragma once

#include "FileVersion.h"

static FileVersion fileVersion_VersionedRevision2_h("$RCSfile: Versioned.h,v $", "$Revision: 1.5 $",
                                                    "$Date: 2003/11/28 02:47:29 $",
                                                    "Last modified by $Author: tester $");
