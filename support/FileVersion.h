// FileVersion: the revision-control identity of every source unit and header of the plug-in.
// Each unit (and each header) defines one static FileVersion; its constructor registers the unit's
// record in versionRegistry() during static initialisation, each distinct record once.
#pragma once

#include <vector>

// Four keyword texts, in this order; each lives as long as the library.
struct FileVersionRecord {
    const char* file;     // "$RCSfile: name,v $"
    const char* revision; // "$Revision: n $"
    const char* date;     // "$Date: yyyy/mm/dd hh:mm:ss $"
    const char* author;   // "Last modified by $Author: login $"
};

class FileVersion {
public:
    FileVersion(const char* file, const char* revision, const char* date, const char* author);
};

// Every distinct record, in order of first registration; created on first use.
std::vector<FileVersionRecord>& versionRegistry();

static FileVersion fileVersion_FileVersion_h("$RCSfile: FileVersion.h,v $", "$Revision: 1.1 $",
                                             "$Date: 2026/12/05 19:30:00 $",
                                             "Last modified by $Author: gradix $");
