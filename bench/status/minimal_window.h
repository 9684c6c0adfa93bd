// The window classes of the yardsticks that bench_status looks for (the minimal window program
// and the floor program), and the one window both show.
#pragma once
#include <windows.h>

#define BENCH_WINDOW_CLASS L"PswBenchMinimalWindow"
#define BENCH_FLOOR_CLASS L"PswBenchFloorWindow"

inline LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Registers the class, shows one window of it that does nothing with what it is sent, and runs
// its loop until WM_CLOSE ends it. Returns the exit code: 1 when the window cannot be made.
inline int RunBenchWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title, DWORD style,
                          int background, int width, int height, int show)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(INT_PTR(background + 1));
    windowClass.lpszClassName = className;
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}
