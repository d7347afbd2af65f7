// What the fuzz targets share: a broken property aborts with its name, so
// the fuzzer keeps the input that broke it; and one scratch directory, with
// the lex/ folder the game reads, for the whole run.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "tests/support/scratch_directory.h"

inline void check(bool holds, const char* property)
{
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}

inline void workInScratchDirectory()
{
    static ScratchDirectory scratch = enterScratchDirectory();
    std::atexit([] { leaveScratchDirectory(scratch); });
}
