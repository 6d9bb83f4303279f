// A header that registers its revision record; three test units include it.
#pragma once

#include "FileVersion.h"

static FileVersion fileVersion_Versioned_h("$RCSfile: Versioned.h,v $", "$Revision: 1.4 $",
                                           "$Date: 2003/11/28 02:47:29 $",
                                           "Last modified by $Author: tester $");
