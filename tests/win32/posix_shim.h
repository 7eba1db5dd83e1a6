// The two POSIX calls the portable test suites make, for their Windows builds.
#pragma once

#include <direct.h>
#include <stdlib.h>
#include <string.h>

inline char* mkdtemp(char* pattern) {
    if (_mktemp_s(pattern, strlen(pattern) + 1) != 0 || _mkdir(pattern) != 0) {
        return nullptr;
    }
    return pattern;
}

inline long random() {
    return rand();
}
