/* Holds a top-level window for the status window's process tests, as another program would:
 *   window_holder CLASS TITLE USERDATA LIFETIME_MS
 * Registers CLASS, creates a hidden window titled TITLE ("-" for none) with GWL_USERDATA set
 * to USERDATA and destroys it after LIFETIME_MS. Exits with 27 when the window receives
 * message 1027 before that, else with 0. */
#include <windows.h>
#include <stdlib.h>

static LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 3) {
        PostQuitMessage(27);
        return 0;
    }
    if (message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    WNDCLASSW wc = {0};
    HWND window;
    MSG msg;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (!argv || argc != 5)
        return 2;
    wc.lpfnWndProc = HolderProc;
    wc.hInstance = instance;
    wc.lpszClassName = argv[1];
    if (!RegisterClassW(&wc))
        return 3;
    window = CreateWindowExW(0, argv[1], lstrcmpW(argv[2], L"-") ? argv[2] : NULL, WS_OVERLAPPEDWINDOW, 0, 0,
                             100, 100, NULL, NULL, instance, NULL);
    if (!window)
        return 4;
    SetWindowLongPtrW(window, GWLP_USERDATA, _wtoi(argv[3]));
    SetTimer(window, 1, (UINT)_wtoi(argv[4]), NULL);
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        DispatchMessageW(&msg);
    DestroyWindow(window);
    return (int)msg.wParam;
}
