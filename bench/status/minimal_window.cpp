// The yardstick of the status window's start-up and memory: a program that registers a window
// class and shows one window, and nothing else. Its window does nothing with what it is sent,
// so bench_status also times bare WM_COPYDATA round trips to it. WM_CLOSE ends it.
#include <windows.h>

#include "minimal_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    return RunBenchWindow(instance, BENCH_WINDOW_CLASS, L"Minimal window", WS_OVERLAPPEDWINDOW, COLOR_WINDOW, 320, 200,
                          show);
}
