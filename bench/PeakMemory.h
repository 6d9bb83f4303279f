// Peak resident memory of this process, resettable so that one benchmark's peak can be read on
// its own (Linux: /proc/self/clear_refs and VmHWM).
#pragma once

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gdx::bench {

// Also hands freed heap memory back to the system first, so that one benchmark's peak does not
// include what an earlier one left in the allocator.
inline void resetPeakMemory() {
    malloc_trim(0);
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Peak resident set size in bytes since the last reset (0 when unknown).
inline double peakMemoryBytes() {
    double kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                kb = std::atof(line + 6);
        std::fclose(f);
    }
    return kb * 1024.0;
}

} // namespace gdx::bench
