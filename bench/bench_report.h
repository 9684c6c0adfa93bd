// What every benchmark prints or computes the same way: the median of its samples and one
// line per target, which scripts/bench.sh gathers into its summary.
#pragma once
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

// The median; the mean of the middle two for an even count, 0 for none.
inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// a / b, or 0 when b is 0 (nothing measured).
inline double Ratio(double a, double b)
{
    return b > 0 ? a / b : 0.0;
}

// Prints "target: <what and figure>: met" (or MISSED) and returns `met`.
__attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3))) inline bool PrintTarget(bool met, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fputs("target: ", stdout);
    std::vprintf(format, args);
    va_end(args);
    std::printf(": %s\n", met ? "met" : "MISSED");
    return met;
}
