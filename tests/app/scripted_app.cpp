#include "scripted_app.h"

#include "framework/raii.h"

const wchar_t kDriver[] = L"Tavik QX2210-2370";
const wchar_t kPort[] = L"LPT1:";

void RedirectedToShare(ScriptedApp& app)
{
    app.networkConnection = 1;
    app.redirectedLptPort = 1;
    lstrcpyW(app.networkPath, L"\\\\srv\\q");
    app.serverName = L"srv";
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::string BodyAfterHeader(const std::string& log)
{
    size_t at = 0;
    for (int line = 0; line < 3 && at != std::string::npos; ++line) {
        at = log.find("\r\n", at);
        if (at != std::string::npos)
            at += 2;
    }
    return at == std::string::npos ? std::string() : log.substr(at);
}

ScriptedApp::ScriptedApp()
{
    lstrcpyW(logFilePath, (TempFolder() + L"test_app_run.tmp").c_str());
    DeleteFileW(logFilePath);
}

ScriptedApp::~ScriptedApp()
{
    DeleteFileW(logFilePath);
    if (savedResultPath[0])
        DeleteFileW(savedResultPath);
}

bool ScriptedApp::called(const std::wstring& call) const
{
    for (const std::wstring& c : calls)
        if (c == call)
            return true;
    return false;
}

int ScriptedApp::record(const std::wstring& call)
{
    calls.push_back(call);
    return 1;
}

int ScriptedApp::CheckManifestFile()
{
    if (classify)
        classify(*this);
    return manifestFile;
}

int ScriptedApp::LoadFileManifest()
{
    if (fileManifest)
        AppendLog(L"所有文件均为预期版本。\r\n");
    return fileManifest;
}

int ScriptedApp::CheckPortPresent()
{
    if (!portPresent)
        portMissing = portMissingOnFault;
    return portPresent;
}

int ScriptedApp::ProgramItemExists(const wchar_t* itemName)
{
    return missingItems.count(itemName) ? 0 : 1;
}

int ScriptedApp::CheckPrintServer()
{
    record(L"CheckPrintServer");
    return printServer;
}

int ScriptedApp::CheckNetworkPrinter()
{
    record(L"CheckNetworkPrinter");
    return networkPrinter;
}

int ScriptedApp::RepairAppPath(int code) { return record(L"RepairAppPath(" + std::to_wstring(code) + L")"); }
int ScriptedApp::RepairPortDriverService(unsigned bits)
{
    return record(L"RepairPortDriverService(" + std::to_wstring(bits) + L")");
}
int ScriptedApp::RepairLanguageMonitor(int code)
{
    return record(L"RepairLanguageMonitor(" + std::to_wstring(code) + L")");
}
int ScriptedApp::RepairPrinterDriver(int code)
{
    return record(L"RepairPrinterDriver(" + std::to_wstring(code) + L")");
}
int ScriptedApp::RepairStatusWindow()
{
    record(L"RepairStatusWindow");
    return repairsStatusWindow;
}
int ScriptedApp::EnableBidiSupport() { return record(L"EnableBidiSupport"); }
int ScriptedApp::DisableHoldMismatchedDocuments() { return record(L"DisableHoldMismatchedDocuments"); }
void ScriptedApp::CreateProgramFolder()
{
    record(L"CreateProgramFolder");
    if (createsProgramFolder)
        programFolder = 1;
}
int ScriptedApp::CreateProgramItem(const wchar_t* file, const wchar_t* itemName, const wchar_t*, const wchar_t*, int)
{
    record(L"CreateProgramItem(" + std::wstring(file) + L"," + itemName + L")");
    return refusedItems.count(itemName) ? 0 : 1;
}
int ScriptedApp::EnablePrivilege(const wchar_t* privilege)
{
    record(L"EnablePrivilege(" + std::wstring(privilege) + L")");
    return enablePrivilege;
}
int ScriptedApp::DisablePrivilege(const wchar_t* privilege)
{
    return record(L"DisablePrivilege(" + std::wstring(privilege) + L")");
}
BOOL ScriptedApp::RestartWindows() { return record(L"RestartWindows"); }
void ScriptedApp::WinHelp(DWORD_PTR data, UINT) { record(L"WinHelp(" + std::to_wstring(data) + L")"); }

AutopilotAction ScriptedPilot::Answer(const DialogSnapshot& dialog)
{
    answered.push_back(dialog.templateId);
    snapshots.push_back(dialog);
    logAtAnswer.push_back(app_ ? ReadBytes(app_->logFilePath) : std::string());
    if (dialog.templateId == IDD_RESULTS)
        waitDialogAtResults = FindThreadWindowWith(IDC_CHECKING_SYSTEM_TEXT) != nullptr ||
                              FindThreadWindowWith(IDC_CHECKING_NETWORK_TEXT) != nullptr;
    if (next_ < script.size() && script[next_].templateId == dialog.templateId) {
        return script[next_++].action;
    }
    // Off the script: an action no dialog can take, so the framework ends the dialog with -1.
    ADD_FAILURE() << "dialog " << dialog.templateId << " asked at step " << next_ << ", the script expected "
                  << (next_ < script.size() ? std::to_string(script[next_].templateId) : std::string("no dialog"));
    return AutopilotAction::press(-2);
}

const DialogSnapshot* ScriptedPilot::seen(UINT templateId, int n) const
{
    for (const DialogSnapshot& snapshot : snapshots)
        if (snapshot.templateId == templateId && n-- == 0)
            return &snapshot;
    return nullptr;
}

namespace {
const wchar_t kMonitorKey[] = L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor";

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(param);
    if (GetDlgItem(window, search->first)) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindThreadWindowWith(int controlId)
{
    std::pair<int, HWND> search(controlId, nullptr);
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

PortModeValue::PortModeValue(const std::wstring& port, const DWORD* mode)
    : path_(std::wstring(kMonitorKey) + L"\\" + port)
{
    for (size_t end = path_.find(L'\\');; end = path_.find(L'\\', end + 1)) {
        std::wstring prefix = path_.substr(0, end);
        UniqueKey probe;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, prefix.c_str(), 0, KEY_READ, probe.put()) != ERROR_SUCCESS) {
            createdRoot_ = prefix;
            break;
        }
        if (end == std::wstring::npos)
            break;
    }
    UniqueKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    DWORD size = sizeof(oldValue_);
    hadValue_ = RegQueryValueExW(key.get(), L"CurrentMode", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&oldValue_), &size) == ERROR_SUCCESS;
    if (mode)
        RegSetValueExW(key.get(), L"CurrentMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(mode), sizeof(*mode));
    else
        RegDeleteValueW(key.get(), L"CurrentMode");
}

PortModeValue::~PortModeValue()
{
    if (!createdRoot_.empty()) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, createdRoot_.c_str());
        return;
    }
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExW(key.get(), L"CurrentMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&oldValue_),
                       sizeof(oldValue_));
    else
        RegDeleteValueW(key.get(), L"CurrentMode");
}
