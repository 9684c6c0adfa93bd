// Where a helper that asserts was called from, for every test program.
#pragma once
#include <gtest/gtest.h>

// A helper takes it as its last argument, defaulted to {}: the defaults are filled in at the
// call, so the caller's file and line.
struct CallSite {
    CallSite(const char* file = __builtin_FILE(), int line = __builtin_LINE()) : file(file), line(line) {}
    const char* file;
    int line;
};

// Within a helper, makes every failure name the caller's line as well as the helper's own.
class CallerTrace : public ::testing::ScopedTrace {
public:
    explicit CallerTrace(const CallSite& site) : ScopedTrace(site.file, site.line, "called from here") {}
};
