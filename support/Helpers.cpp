#include "Helpers.h"

#include <maya/MGlobal.h>

static FileVersion fileVersion_Helpers_cpp("$RCSfile: Helpers.cpp,v $", "$Revision: 1.1 $",
                                           "$Date: 2026/12/05 19:30:00 $",
                                           "Last modified by $Author: gradix $");

MStatus reportError(MString message, MStatus status) {
    MString text = status.errorString();
    text += " --> ";
    text += message;
    MGlobal::displayError(text);
    return status;
}
