// Engine event log for debugging: compiled in only with -DGDX_QSLIM_LOG, otherwise every
// QSLIM_LOG(...) statement disappears and costs nothing.
#pragma once

#ifdef GDX_QSLIM_LOG
#include <cstdio>
#define QSLIM_LOG(...)                                                                                       \
    do {                                                                                                     \
        std::fprintf(stderr, "qslim: " __VA_ARGS__);                                                         \
        std::fputc('\n', stderr);                                                                            \
    } while (0)
#else
#define QSLIM_LOG(...) ((void)0)
#endif
