// Printer queue attributes (bidirectional support, holding of mismatched documents) and the
// driver's private data in the printer's registry key.
#include "checks/printer_attribute_checks.h"

#include "checks/check_ids.h"
#include "checks/registry_util.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <string>

namespace {

const DWORD kEnableBidi = PRINTER_ATTRIBUTE_ENABLE_BIDI;     // 0x800, must be set
const DWORD kHoldMismatched = PRINTER_ATTRIBUTE_ENABLE_DEVQ;  // 0x80, must be clear

// The spooler's key name of a printer: every "\" of the queue name becomes ",".
std::wstring PrinterKeyName(const std::wstring& printerName)
{
    std::wstring keyName;
    for (const wchar_t* p = printerName.c_str(); *p;) {
        const wchar_t* next = CharNextW(p);
        if (*p == L'\\')
            keyName += L',';
        else
            keyName.append(p, next);
        p = next;
    }
    return keyName;
}

std::wstring LocalPrinterKeyPath(const std::wstring& keyName)
{
    return std::wstring(kPrintKey) + L"\\" + L"Printers" + L"\\" + keyName;
}

// A connection to a server's printer keeps its data under the network provider: server name
// without leading backslashes, share name after the key name's last ",".
std::wstring ConnectionKeyPath(const std::wstring& keyName, const std::wstring& serverName)
{
    size_t serverStart = serverName.find_first_not_of(L'\\');
    std::wstring server = serverStart == std::wstring::npos ? std::wstring() : serverName.substr(serverStart);
    size_t comma = keyName.rfind(L',');
    std::wstring share = comma == std::wstring::npos ? keyName : keyName.substr(comma + 1);
    return std::wstring(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Providers\\LanMan Print Services\\Servers") +
           L"\\" + server + L"\\" + L"Printers" + L"\\" + share;
}

bool ReadAttributes(const std::wstring& keyPath, DWORD& attributes)
{
    UniqueKey key;
    return OpenMachineKey(keyPath, KEY_READ, key) == ERROR_SUCCESS &&
           ReadDwordValue(key.get(), L"Attributes", attributes);
}

// Sets and clears bits of the local printer's "Attributes"; 0 when the value could not be read.
int RewriteAttributes(const std::wstring& printerName, DWORD setBits, DWORD clearBits)
{
    const std::wstring keyPath = LocalPrinterKeyPath(PrinterKeyName(printerName));
    DWORD attributes = 0;
    if (!ReadAttributes(keyPath, attributes))
        return 0;
    UniqueKey key;
    if (CreateMachineKey(keyPath, key) == ERROR_SUCCESS)
        WriteDwordValue(key.get(), L"Attributes", (attributes | setBits) & ~clearBits);
    return 1;
}

bool HasValue(HKEY key, const wchar_t* name)
{
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// An attribute found set as it should be (`result` not 0), or the fault whose text names the
// driver and whose repair rewrites the attribute.
Finding AttributeFinding(const RunFacts& facts, int result, const char* check, UINT faultText, Repair repair)
{
    if (result != 0)
        return Finding::Correct(check);
    return Finding::Fault(check, FormatPrintf(LoadStr(faultText).c_str(), facts.driverName), repair);
}

}  // namespace

int CheckBidiSupport(const RunFacts& facts)
{
    DWORD attributes = 0;
    return ReadAttributes(LocalPrinterKeyPath(PrinterKeyName(facts.printerName)), attributes) &&
                   (attributes & kEnableBidi)
               ? 1
               : 0;
}

int EnableBidiSupport(const RunFacts& facts)
{
    return RewriteAttributes(facts.printerName, kEnableBidi, 0);
}

Finding BidiSupportFinding(const RunFacts& facts, int result)
{
    return AttributeFinding(facts, result, CheckId::kBidiSupport, IDS_BIDI_DISABLED, Repair::BidiSupport);
}

int CheckHoldMismatchedDocuments(const RunFacts& facts)
{
    DWORD attributes = 0;
    return ReadAttributes(LocalPrinterKeyPath(PrinterKeyName(facts.printerName)), attributes) &&
                   !(attributes & kHoldMismatched)
               ? 1
               : 0;
}

int DisableHoldMismatchedDocuments(const RunFacts& facts)
{
    return RewriteAttributes(facts.printerName, 0, kHoldMismatched);
}

Finding HoldMismatchedFinding(const RunFacts& facts, int result)
{
    return AttributeFinding(facts, result, CheckId::kHoldMismatched, IDS_HOLD_ENABLED, Repair::HoldMismatched);
}

int CheckPrinterRegistry(const RunFacts& facts)
{
    const std::wstring keyName = PrinterKeyName(facts.printerName);
    const std::wstring printerKey = facts.remotePrinter ? ConnectionKeyPath(keyName, facts.serverName) : LocalPrinterKeyPath(keyName);
    UniqueKey key;
    if (OpenMachineKey(printerKey + L"\\" + L"PrinterDriverData", KEY_READ, key) != ERROR_SUCCESS)
        return 0;
    return HasValue(key.get(), L"APPINFO") && HasValue(key.get(), L"APPINFO-SIZE") ? 1 : 0;
}

Finding PrinterRegistryFinding(int result)
{
    if (result != 0)
        return Finding::Correct(CheckId::kRegistry);
    return Finding::Fault(CheckId::kRegistry, LoadStr(IDS_REGISTRY_WRONG), Repair::None);
}
