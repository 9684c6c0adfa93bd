// The window classes of the yardsticks that bench_status looks for: the minimal window program
// and the floor program.
#pragma once

#define BENCH_WINDOW_CLASS L"PswBenchMinimalWindow"
#define BENCH_FLOOR_CLASS L"PswBenchFloorWindow"
