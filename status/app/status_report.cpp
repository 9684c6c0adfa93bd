#include "app/status_report.h"
#include <stdlib.h>
#include "res/resource.h"
#include "app/command_line.h"
#include "app/protocol.h"
#include "app/state.h"
#include "app/strings.h"

#define CLASS_NAME_CHARS 64
#define REPORT_WINDOWS_MAX 256
#define USAGE_CHARS 1024
#define OUTPUT_BUFFER_BYTES 4096
#define NUMBER_CHARS 16

// One status window and what it answered.
struct ReportEntry {
    HWND window;
    BOOL visible;
    BOOL answered;
    wchar_t title[SNAPSHOT_PRINTER_CHARS];
    PswStatusSnapshot snapshot;
};

struct ReportEntries {
    ReportEntry* entries;
    int count;
};

// The standard output, written through a buffer; `failed` once a write has failed.
struct JsonOutput {
    HANDLE handle;
    char buffer[OUTPUT_BUFFER_BYTES];
    DWORD used;
    BOOL failed;
};

// A message for a person on the standard error: wide to a console, the ANSI code page to a
// file or pipe.
static void WriteError(const wchar_t* text)
{
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0, written = 0;
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text, lstrlenW(text), &written, NULL);
        return;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
    char* ansi = bytes > 0 ? static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes)) : NULL;
    if (!ansi)
        return;
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, bytes, NULL, NULL);
    WriteFile(handle, ansi, bytes - 1, &written, NULL);
    LocalFree(ansi);
}

// ---- JSON ----

static void Flush(JsonOutput* out)
{
    DWORD written = 0;
    if (out->used && (!WriteFile(out->handle, out->buffer, out->used, &written, NULL) || written != out->used))
        out->failed = TRUE;
    out->used = 0;
}

static void PutBytes(JsonOutput* out, const char* bytes, DWORD count)
{
    for (DWORD i = 0; i < count; ++i) {
        if (out->used == sizeof(out->buffer))
            Flush(out);
        out->buffer[out->used++] = bytes[i];
    }
}

static void Put(JsonOutput* out, const char* text)
{
    PutBytes(out, text, lstrlenA(text));
}

static void PutNumber(JsonOutput* out, DWORD value)
{
    char text[NUMBER_CHARS];
    wsprintfA(text, "%lu", value);
    Put(out, text);
}

static void PutSigned(JsonOutput* out, int value)
{
    char text[NUMBER_CHARS];
    wsprintfA(text, "%d", value);
    Put(out, text);
}

// A number, or null when there is none.
static void PutNumberOrNull(JsonOutput* out, BOOL present, DWORD value)
{
    if (present)
        PutNumber(out, value);
    else
        Put(out, "null");
}

static void PutBool(JsonOutput* out, BOOL value)
{
    Put(out, value ? "true" : "false");
}

// A string in quotes, UTF-8, with quotes, backslashes and control characters escaped.
static void PutString(JsonOutput* out, const wchar_t* text, int chars)
{
    Put(out, "\"");
    int bytes = chars ? WideCharToMultiByte(CP_UTF8, 0, text, chars, NULL, 0, NULL, NULL) : 0;
    char* utf8 = bytes > 0 ? static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes)) : NULL;
    if (utf8) {
        WideCharToMultiByte(CP_UTF8, 0, text, chars, utf8, bytes, NULL, NULL);
        // Bytes of multi-byte sequences are all 0x80 or above: escaping byte by byte is safe.
        for (int i = 0; i < bytes; ++i) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            char escaped[8];
            if (c == '"' || c == '\\') {
                wsprintfA(escaped, "\\%c", c);
                Put(out, escaped);
            } else if (c < 0x20) {
                wsprintfA(escaped, "\\u%04x", c);
                Put(out, escaped);
            } else {
                PutBytes(out, &utf8[i], 1);
            }
        }
        LocalFree(utf8);
    }
    Put(out, "\"");
}

static void PutText(JsonOutput* out, const wchar_t* text)
{
    PutString(out, text, lstrlenW(text));
}

// The message box's lines, each ended by CR LF in the snapshot, as an array.
static void PutLines(JsonOutput* out, const wchar_t* text)
{
    Put(out, "[");
    for (const wchar_t* line = text; *line;) {
        const wchar_t* end = wcsstr(line, L"\r\n");
        int chars = end ? int(end - line) : lstrlenW(line);
        if (line != text)
            Put(out, ", ");
        PutString(out, line, chars);
        line += chars + (end ? 2 : 0);
    }
    Put(out, "]");
}

static void PutJob(JsonOutput* out, const PswStatusSnapshot& s)
{
    if (!(s.parts & SNAPSHOT_JOB)) {
        Put(out, "null");
        return;
    }
    Put(out, "{ \"document\": ");
    PutText(out, s.document);
    Put(out, ", \"owner\": ");
    PutText(out, s.owner);
    Put(out, ", \"pagesPrinted\": ");
    PutNumber(out, s.pagesPrinted);
    Put(out, ", \"totalPages\": ");
    PutNumberOrNull(out, s.totalPages != 0, s.totalPages);
    Put(out, ", \"timeLeftSeconds\": ");
    PutNumberOrNull(out, (s.parts & SNAPSHOT_TIME_LEFT) != 0, s.timeLeftSeconds);
    Put(out, " }");
}

// One window's object; a window that did not answer gives what can be seen from outside.
static void PutEntry(JsonOutput* out, const ReportEntry& e)
{
    const PswStatusSnapshot& s = e.snapshot;
    Put(out, "  { \"printer\": ");
    PutText(out, e.title);
    Put(out, ", \"port\": ");
    if (e.answered)
        PutText(out, s.port);
    else
        Put(out, "null");
    Put(out, ", \"visible\": ");
    PutBool(out, e.visible);
    if (e.answered) {
        Put(out, ",\n    \"displayCode\": ");
        PutSigned(out, s.displayCode);
        Put(out, ", \"state\": ");
        PutText(out, s.state);
        Put(out, ", \"message\": ");
        PutLines(out, s.message);
        Put(out, ",\n    \"error\": ");
        PutBool(out, (s.deviceFlags & DEVICE_ERROR_PRESENT) != 0);
        Put(out, ", \"attention\": ");
        PutBool(out, (s.deviceFlags & DEVICE_ATTENTION) != 0);
        Put(out, ",\n    \"job\": ");
        PutJob(out, s);
    } else {
        Put(out, ",\n    \"displayCode\": null, \"state\": null, \"message\": null, \"error\": null, "
                 "\"attention\": null, \"job\": null");
    }
    Put(out, ",\n    \"answered\": ");
    PutBool(out, e.answered);
    Put(out, " }");
}

// ---- Asking the windows ----

static BOOL CALLBACK CollectStatusWindow(HWND window, LPARAM data)
{
    ReportEntries* found = reinterpret_cast<ReportEntries*>(data);
    wchar_t name[CLASS_NAME_CHARS];
    if (!GetClassNameW(window, name, ARRAYSIZE(name)) || lstrcmpW(name, PSW_MAIN_CLASS) != 0)
        return TRUE;
    ReportEntry& entry = found->entries[found->count++];
    entry.window = window;
    GetWindowTextW(window, entry.title, ARRAYSIZE(entry.title));
    return found->count < REPORT_WINDOWS_MAX;
}

// The answer of the window being asked, taken only from that window and only in the
// snapshot's own layout; its strings are terminated again, as it comes from another process.
static LRESULT CALLBACK QueryWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return DefWindowProcW(window, message, wParam, lParam);
    ReportEntry* entry = reinterpret_cast<ReportEntry*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!entry || reinterpret_cast<HWND>(wParam) != entry->window || !data || data->dwData != PSW_DATA_SNAPSHOT ||
        data->cbData != sizeof(PswStatusSnapshot) || !data->lpData)
        return FALSE;
    PswStatusSnapshot& s = entry->snapshot;
    CopyMemory(&s, data->lpData, sizeof(s));
    if (s.size != sizeof(s))
        return FALSE;
    s.printer[ARRAYSIZE(s.printer) - 1] = s.port[ARRAYSIZE(s.port) - 1] = 0;
    s.state[ARRAYSIZE(s.state) - 1] = s.message[ARRAYSIZE(s.message) - 1] = 0;
    s.document[ARRAYSIZE(s.document) - 1] = s.owner[ARRAYSIZE(s.owner) - 1] = 0;
    entry->answered = TRUE;
    return TRUE;
}

static int CompareEntries(const void* a, const void* b)
{
    return lstrcmpW(static_cast<const ReportEntry*>(a)->title, static_cast<const ReportEntry*>(b)->title);
}

// Asks each window in turn; one that does not answer in time is left unanswered. While this
// thread waits, the answer sent to the query window is delivered.
static void AskWindows(HWND query, ReportEntries* found)
{
    for (int i = 0; i < found->count; ++i) {
        ReportEntry& entry = found->entries[i];
        SetWindowLongPtrW(query, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&entry));
        DWORD_PTR result = 0;
        SendMessageTimeoutW(entry.window, PSWM_QUERY_STATUS, reinterpret_cast<WPARAM>(query), 0,
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, PSW_QUERY_TIMEOUT_MS, &result);
        SetWindowLongPtrW(query, GWLP_USERDATA, 0);
        entry.visible = IsWindowVisible(entry.window);
    }
}

static int WriteReport(const ReportEntries* found)
{
    JsonOutput* out = static_cast<JsonOutput*>(LocalAlloc(LPTR, sizeof(JsonOutput)));
    if (!out)
        return EXIT_REPORT_NOT_WRITTEN;
    out->handle = GetStdHandle(STD_OUTPUT_HANDLE);
    out->failed = !out->handle || out->handle == INVALID_HANDLE_VALUE;
    int exitCode = EXIT_REPORT_NO_ERROR;
    Put(out, "[");
    for (int i = 0; i < found->count; ++i) {
        const ReportEntry& entry = found->entries[i];
        Put(out, i ? ",\n" : "\n");
        PutEntry(out, entry);
        if (entry.answered && (entry.snapshot.deviceFlags & DEVICE_ERROR_PRESENT))
            exitCode = EXIT_REPORT_ERROR_SHOWN;
    }
    Put(out, found->count ? "\n]\n" : "]\n");
    if (!out->failed)
        Flush(out);
    if (out->failed)
        exitCode = EXIT_REPORT_NOT_WRITTEN;
    LocalFree(out);
    return exitCode;
}

int WriteUsage(HINSTANCE instance)
{
    g_state.instance = instance;
    wchar_t usage[USAGE_CHARS];
    LoadText(IDS_USAGE, usage, ARRAYSIZE(usage));
    WriteError(usage);
    return EXIT_USAGE;
}

int RunStatusReport(HINSTANCE instance)
{
    g_state.instance = instance;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = QueryWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = PSW_QUERY_CLASS;
    HWND query = RegisterClassW(&wc) ? CreateWindowExW(0, PSW_QUERY_CLASS, NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                                       instance, NULL)
                                     : NULL;
    ReportEntries found = {};
    found.entries = static_cast<ReportEntry*>(LocalAlloc(LPTR, REPORT_WINDOWS_MAX * sizeof(ReportEntry)));
    int exitCode = EXIT_REPORT_NOT_WRITTEN;
    if (query && found.entries) {
        EnumWindows(CollectStatusWindow, reinterpret_cast<LPARAM>(&found));
        AskWindows(query, &found);
        qsort(found.entries, found.count, sizeof(ReportEntry), CompareEntries);
        exitCode = WriteReport(&found);
    }
    if (found.entries)
        LocalFree(found.entries);
    if (query)
        DestroyWindow(query);
    return exitCode;
}
