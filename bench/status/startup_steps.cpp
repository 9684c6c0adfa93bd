// The status window's start-up taken step by step by its own code (pstatus_core), in the
// order the program takes them, with a performance-counter reading after each, so that the
// process that started this one can tell each moment from its CreateProcess:
//   bench_startup MARKS_FILE PRINTER PORT
// It is run from the program's own folder (bench_status copies it there), so that the
// package's libraries are found beside it as they are beside the program. Each reading is written to MARKS_FILE
// as a line "ticks moment" once the first status is shown; the window then ends.
// Exit code 0 when every step was taken, 2 when one failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/protocol.h"
#include "app/state.h"
#include "ui/startup.h"

namespace {

// How long the first status may take to come and be painted.
constexpr DWORD kFirstStatusWaitMs = 10000;
constexpr int kMaxMarks = 16;

struct Mark {
    const char* moment;
    LONGLONG ticks;
};

Mark g_marks[kMaxMarks];
int g_markCount = 0;

void MarkNow(const char* moment)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (g_markCount < kMaxMarks)
        g_marks[g_markCount++] = {moment, now.QuadPart};
}

// Handles what comes until a status block has been taken and nothing is left to paint, as the
// message loop would; FALSE when none came in time.
bool ShowFirstStatus()
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (g_state.statusCopy)
            return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= kFirstStatusWaitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kFirstStatusWaitMs - waited, QS_ALLINPUT);
    }
}

// The steps up to the first status shown; FALSE at the first that fails.
bool TakeSteps(HINSTANCE instance, const wchar_t* printer, const wchar_t* port)
{
    PswArguments arguments = {};
    lstrcpynW(arguments.printer, printer, ARRAYSIZE(arguments.printer));
    lstrcpynW(arguments.port, port, ARRAYSIZE(arguments.port));
    TakeArguments(instance, &arguments);
    if (!OpenPackagePrinter())
        return false;
    MarkNow("printer checked");
    StartWatchingQueue();
    MarkNow("monitor thread started");
    HANDLE startLock = LockPrinterStart(g_state.printerName);
    const bool alone = startLock && WaitForOtherInstance(g_state.printerName);
    MarkNow("no other window");
    LibraryFailure failure = {};
    const bool bound = alone && BindWindowLibraries(&failure);
    if (bound)
        MarkNow("libraries bound");
    WaitUntilWatching();
    if (bound)
        MarkNow("monitor thread ready");
    HWND window = bound ? MakeMainWindow() : nullptr;
    UnlockPrinterStart(startLock);
    if (!window)
        return false;
    MarkNow("window made");
    if (!OpenAtStatusLibrary(window))
        return false;
    MarkNow("opened at the status library");
    if (!ShowFirstStatus())
        return false;
    MarkNow("first status shown");
    SendMessageW(window, PSWM_QUIT, 0, 0);
    return true;
}

bool WriteMarks(const wchar_t* path)
{
    FILE* file = _wfopen(path, L"w");
    if (!file)
        return false;
    for (int i = 0; i < g_markCount; ++i)
        std::fprintf(file, "%lld %s\n", g_marks[i].ticks, g_marks[i].moment);
    return std::fclose(file) == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    MarkNow("program entered");
    if (__argc < 4)
        return 2;
    const bool taken = TakeSteps(instance, __wargv[2], __wargv[3]);
    if (g_state.monitorParams.stopEvent)
        SetEvent(g_state.monitorParams.stopEvent);
    return taken && WriteMarks(__wargv[1]) ? 0 : 2;
}
