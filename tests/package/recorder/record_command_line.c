/* Stands in for pstatus.exe in the start-up program's test: appends its own command
   line (UTF-16, CR LF) to commands.txt beside itself and ends. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR args, int show)
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    const WCHAR *line = GetCommandLineW();
    HANDLE file;
    DWORD written;
    (void)instance; (void)previous; (void)args; (void)show;

    while (length > 0 && path[length - 1] != L'\\')
        --length;
    lstrcpyW(path + length, L"commands.txt");
    /* Several copies may run at once: retry while another one holds the file. */
    for (int attempt = 0; attempt < 100; ++attempt) {
        file = CreateFileW(path, FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, line, lstrlenW(line) * sizeof(WCHAR), &written, NULL);
            WriteFile(file, L"\r\n", 2 * sizeof(WCHAR), &written, NULL);
            CloseHandle(file);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}
