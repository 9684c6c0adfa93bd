#include "app/libraries.h"

// Where each entry point goes in the record, in the order they are looked up.
struct EntryPoint {
    const char* name;
    size_t offset;
};

static const EntryPoint kPresentationEntries[] = {
    {"PSM_GetPSWInfo", offsetof(PswLibraries, PSM_GetPSWInfo)},
    {"PSM_GetPSWDisplay", offsetof(PswLibraries, PSM_GetPSWDisplay)},
    {"PSM_PrinterSpecificProc", offsetof(PswLibraries, PSM_PrinterSpecificProc)},
    {"PSM_CreateToolbar", offsetof(PswLibraries, PSM_CreateToolbar)},
    {"PSM_GetMenuHelpText", offsetof(PswLibraries, PSM_GetMenuHelpText)},
    {"PSM_GetToolTipText", offsetof(PswLibraries, PSM_GetToolTipText)},
    {"PSM_GetFileName", offsetof(PswLibraries, PSM_GetFileName)},
};

static const EntryPoint kStatusEntries[] = {
    {"SmPsw_OpenPrinter", offsetof(PswLibraries, SmPsw_OpenPrinter)},
    {"SmPsw_ClosePrinter", offsetof(PswLibraries, SmPsw_ClosePrinter)},
    {"SmPsw_GetPrinterStatus", offsetof(PswLibraries, SmPsw_GetPrinterStatus)},
    {"SmPsw_JobRequest", offsetof(PswLibraries, SmPsw_JobRequest)},
    {"SmPsw_ChangePrinterName", offsetof(PswLibraries, SmPsw_ChangePrinterName)},
    {"SmPsw_StartPolling", offsetof(PswLibraries, SmPsw_StartPolling)},
    {"SmPsw_StopPolling", offsetof(PswLibraries, SmPsw_StopPolling)},
};

// Loads one library and fills its entry points; NULL when it or any entry point is missing,
// with the reason in `failure`.
static HMODULE LoadEntryPoints(const wchar_t* name, const EntryPoint* entries, size_t count,
                               PswLibraries* libraries, LibraryFailure* failure)
{
    failure->library = name;
    HMODULE module = LoadLibraryW(name);
    failure->loadError = module ? 0 : GetLastError();
    if (!module)
        return NULL;
    for (size_t i = 0; i < count; ++i) {
        FARPROC proc = GetProcAddress(module, entries[i].name);
        if (!proc) {
            FreeLibrary(module);
            return NULL;
        }
        *reinterpret_cast<FARPROC*>(reinterpret_cast<BYTE*>(libraries) + entries[i].offset) = proc;
    }
    return module;
}

BOOL BindLibraries(PswLibraries* libraries, LibraryFailure* failure)
{
    LibraryFailure unused;
    if (!failure)
        failure = &unused;
    ZeroMemory(libraries, sizeof(*libraries));
    libraries->presentation = LoadEntryPoints(PRESENTATION_LIBRARY_NAME, kPresentationEntries,
                                              ARRAYSIZE(kPresentationEntries), libraries, failure);
    if (libraries->presentation)
        libraries->status = LoadEntryPoints(STATUS_LIBRARY_NAME, kStatusEntries,
                                            ARRAYSIZE(kStatusEntries), libraries, failure);
    if (!libraries->status) {
        ReleaseLibraries(libraries);
        return FALSE;
    }
    failure->library = NULL;
    return TRUE;
}

void ReleaseLibraries(PswLibraries* libraries)
{
    if (libraries->status)
        FreeLibrary(libraries->status);
    if (libraries->presentation)
        FreeLibrary(libraries->presentation);
    ZeroMemory(libraries, sizeof(*libraries));
}
