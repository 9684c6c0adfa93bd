// XERB5UIK.DLL, the driver's configuration module. Wine's spooler loads it from the
// printer-driver directory and calls these entry points without checking that they exist:
// DocumentPropertiesW (also from AddPrinterW) calls DrvDocumentPropertySheets,
// DeviceCapabilitiesW calls DrvDeviceCapabilities, AddPrinterDriverExW calls DrvDriverEvent.
// They answer with a plain default device mode and no capabilities, and show no UI.
#include <windows.h>

// The spooler's request block when no property sheet is wanted (pPSUIInfo is null).
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    DEVMODEW* pdmIn;
    DEVMODEW* pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

extern "C" {

__declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(void* propertySheetInfo, LPARAM lParam)
{
    auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
    if (propertySheetInfo || !header)
        return -1;  // no property sheets
    if (!header->fMode || !header->pdmOut)
        return sizeof(DEVMODEW);
    if (header->cbOut < sizeof(DEVMODEW))
        return -1;

    DEVMODEW* out = header->pdmOut;
    if ((header->fMode & DM_IN_BUFFER) && header->pdmIn && header->pdmIn->dmSize <= sizeof(DEVMODEW)) {
        ZeroMemory(out, sizeof(DEVMODEW));
        CopyMemory(out, header->pdmIn, header->pdmIn->dmSize);
    } else {
        ZeroMemory(out, sizeof(DEVMODEW));
        out->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
        out->dmOrientation = DMORIENT_PORTRAIT;
        out->dmPaperSize = DMPAPER_A4;
        out->dmCopies = 1;
    }
    if (header->pszPrinterName)
        lstrcpynW(out->dmDeviceName, header->pszPrinterName, CCHDEVICENAME);
    out->dmSpecVersion = DM_SPECVERSION;
    out->dmSize = sizeof(DEVMODEW);
    out->dmDriverExtra = 0;
    return IDOK;
}

__declspec(dllexport) DWORD WINAPI DrvDeviceCapabilities(HANDLE, LPWSTR, WORD capability, void*, DEVMODEW*)
{
    switch (capability) {
    case DC_FIELDS:
        return DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return 0;
    case DC_DRIVER:
        return 0x0400;
    case DC_VERSION:
        return DM_SPECVERSION;
    default:
        return GDI_ERROR;  // not supported by the stand-in
    }
}

__declspec(dllexport) BOOL WINAPI DrvPrinterEvent(LPWSTR, INT, DWORD, LPARAM)
{
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM)
{
    return TRUE;
}

}  // extern "C"
