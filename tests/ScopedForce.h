// Forced failures (RCV_FORCE) for the length of one scope.
#pragma once

#include <cstdlib>

class ScopedForce {
public:
    explicit ScopedForce(const char* value) { setenv("RCV_FORCE", value, 1); }
    ~ScopedForce() { unsetenv("RCV_FORCE"); }
};
