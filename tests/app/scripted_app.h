// Test doubles of the sequence's tests: an application object whose checks return scripted
// results and whose repairs, help and restart only record that they ran, and an autopilot
// that answers each dialog from a script and keeps what it saw. Every dialog, the start
// dialog's printer list and the result log are real.
#pragma once
#include "app/troubleshooter_app.h"
#include "framework/autopilot.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

bool FileExists(const std::wstring& path);
// The temporary folder with its trailing backslash.
std::wstring TempFolder();
// The lines of a log after its three header lines, each with its CR LF.
std::string BodyAfterHeader(const std::string& log);

class ScriptedApp : public CTroubleshooterApp {
public:
    ScriptedApp();
    ~ScriptedApp() override;

    // Scripted results of the checks; the defaults describe a sound installation.
    int spoolerRunning = 1;
    bool registryReadable = true;  // Wine's HKEY_LOCAL_MACHINE always opens
    int adminRights = 1;
    int manifestFile = 1;
    int fileManifest = 1;       // LoadFileManifest; a sound one writes its "all files" line
    int portPresent = 1;
    int portMissingOnFault = 0; // CheckPortPresent also sets portMissing
    int printerRegistry = 1;
    int appPath = 0;
    unsigned portDriverService = 0;
    int languageMonitor = 0;
    int printerDriver = 0;
    int statusWindow = 1;
    int bidiSupport = 1;
    int holdMismatched = 1;
    int programFolder = 1;
    int repairsStatusWindow = 1;    // RepairStatusWindow's result; 0: nothing was created
    int createsProgramFolder = 1;   // CreateProgramFolder makes CheckProgramFolder find it
    std::set<std::wstring> missingItems;
    std::set<std::wstring> refusedItems;  // CreateProgramItem creates nothing for these
    int printServer = 1;
    int networkPrinter = 1;
    int enablePrivilege = 1;
    // Applied once the start dialog has classified the printer, before the first check.
    std::function<void(ScriptedApp&)> classify;

    // What ran, in order: "RepairLanguageMonitor(5)", "EnablePrivilege(SeShutdownPrivilege)"...
    std::vector<std::wstring> calls;
    bool called(const std::wstring& call) const;

    int IsSpoolerRunning() override { return spoolerRunning; }
    bool RegistryReadable() override { return registryReadable; }
    int HasAdminRights() override { return adminRights; }
    int CheckManifestFile() override;
    int LoadFileManifest() override;
    int CheckPortPresent() override;
    int CheckPrinterRegistry() override { return printerRegistry; }
    int CheckAppPath() override { return appPath; }
    int CheckPortDriverService() override { return static_cast<int>(portDriverService); }
    int CheckLanguageMonitor() override { return languageMonitor; }
    int CheckPrinterDriver() override { return printerDriver; }
    int CheckStatusWindowStartup() override { return statusWindow; }
    int CheckBidiSupport() override { return bidiSupport; }
    int CheckHoldMismatchedDocuments() override { return holdMismatched; }
    int CheckProgramFolder() override { return programFolder; }
    int ProgramItemExists(const wchar_t* itemName) override;
    int CheckPrintServer() override;
    int CheckNetworkPrinter() override;

    int RepairAppPath(int code) override;
    int RepairPortDriverService(unsigned bits) override;
    int RepairLanguageMonitor(int code) override;
    int RepairPrinterDriver(int code) override;
    int RepairStatusWindow() override;
    int EnableBidiSupport() override;
    int DisableHoldMismatchedDocuments() override;
    void CreateProgramFolder() override;
    int CreateProgramItem(const wchar_t* file, const wchar_t* itemName, const wchar_t* arguments,
                          const wchar_t* iconFile, int iconIndex) override;
    int EnablePrivilege(const wchar_t* privilege) override;
    int DisablePrivilege(const wchar_t* privilege) override;
    BOOL RestartWindows() override;
    void WinHelp(DWORD_PTR data, UINT command) override;

private:
    int record(const std::wstring& call);
};

// One answer of the script: the dialog expected next and what to do in it.
struct ScriptStep {
    UINT templateId;
    AutopilotAction action;
};

class ScriptedPilot : public Autopilot {
public:
    explicit ScriptedPilot(std::vector<ScriptStep> steps, const CTroubleshooterApp* app = nullptr)
        : script(std::move(steps)), app_(app) {}

    std::vector<ScriptStep> script;
    std::vector<UINT> answered;            // template ids, in the order asked
    std::vector<DialogSnapshot> snapshots; // what each dialog showed when asked
    std::vector<std::string> logAtAnswer;  // the temporary log's bytes at each question
    std::vector<UINT> created;             // modeless dialogs
    bool waitDialogAtResults = false;      // a please-wait window still existed at the results
    int stuck = 0;

    AutopilotAction Answer(const DialogSnapshot& dialog) override;
    void Created(const DialogSnapshot& dialog) override { created.push_back(dialog.templateId); }
    void Stuck(const DialogSnapshot&, const AutopilotAction&) override { ++stuck; }

    // The snapshot of the n-th question asked by dialog `templateId`.
    const DialogSnapshot* seen(UINT templateId, int n = 0) const;

private:
    size_t next_ = 0;
    const CTroubleshooterApp* app_;
};

// The driver, printer and port of the stand-in package as the start dialog classifies them.
extern const wchar_t kDriver[];
extern const wchar_t kPort[];

// A `classify` of the printer as a local port redirected to the share \\srv\q.
void RedirectedToShare(ScriptedApp& app);

// Sets the port-monitor key's "CurrentMode" of a port for a scope, and removes what it made.
class PortModeValue {
public:
    PortModeValue(const std::wstring& port, const DWORD* mode);
    ~PortModeValue();
    PortModeValue(const PortModeValue&) = delete;
    PortModeValue& operator=(const PortModeValue&) = delete;

private:
    std::wstring path_;
    bool hadValue_ = false;
    DWORD oldValue_ = 0;
    std::wstring createdRoot_;
};

// Finds a top-level window of this thread that holds control `controlId`.
HWND FindThreadWindowWith(int controlId);
