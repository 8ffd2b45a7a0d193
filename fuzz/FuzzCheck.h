// A property the fuzz targets hold for every input: when one breaks, the
// target says which and aborts, so that the fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}
