#include "engine/contract.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void assertion_failed(const char* text, const char* file, int line) {
    const char* slash = std::strrchr(file, '/');
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", text, slash ? slash + 1 : file, line);
    std::fflush(stderr);
    std::abort();
}
