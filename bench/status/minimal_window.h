// The window class of the minimal window program, which bench_status looks for.
#pragma once

#define BENCH_WINDOW_CLASS L"PswBenchMinimalWindow"
