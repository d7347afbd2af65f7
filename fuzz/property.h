// What the fuzz targets share: a broken property aborts with its name, so
// the fuzzer keeps the input that broke it; the way inputs spell keys and
// numbers; and one scratch directory, with the lex/ folder the game reads,
// for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "console/key.h"
#include "tests/support/scratch_directory.h"

inline void check(bool holds, const char* property)
{
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}

// Two bytes, little-endian.
inline int twoBytes(const std::uint8_t* data) { return data[0] | data[1] << 8; }

// The key at `at`, which moves past it: one byte, except that 0 and 224 take
// the next byte as their scan code.
inline Key takeInputKey(const std::uint8_t* data, std::size_t size, std::size_t& at)
{
    Key key{data[at++], -1};
    if ((key.code == 0 || key.code == 224) && at < size) key.second = data[at++];
    return key;
}

inline void workInScratchDirectory()
{
    static ScratchDirectory scratch = enterScratchDirectory();
    std::atexit([] { leaveScratchDirectory(scratch); });
}
