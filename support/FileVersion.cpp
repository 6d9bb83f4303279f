#include "FileVersion.h"

#include <cstring>

static FileVersion fileVersion_FileVersion_cpp("$RCSfile: FileVersion.cpp,v $", "$Revision: 1.1 $",
                                               "$Date: 2026/12/05 19:30:00 $",
                                               "Last modified by $Author: gradix $");

std::vector<FileVersionRecord>& versionRegistry() {
    static std::vector<FileVersionRecord> registry;
    return registry;
}

FileVersion::FileVersion(const char* file, const char* revision, const char* date, const char* author) {
    FileVersionRecord record{file, revision, date, author};
    std::vector<FileVersionRecord>& registry = versionRegistry();
    for (const FileVersionRecord& r : registry)
        if (std::strcmp(r.file, file) == 0 && std::strcmp(r.revision, revision) == 0 &&
            std::strcmp(r.date, date) == 0 && std::strcmp(r.author, author) == 0)
            return;
    registry.push_back(record);
}
