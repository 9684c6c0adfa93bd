// The one application object of pdiag. It owns the facts the checks share and the run's own
// state (the log, the run's flags), carries every check, repair and log writer as a virtual
// operation (a check's operation runs it with the facts), so that a test subclass can script
// any of them while the others run for real, and is the host the dialogs ask.
#pragma once
#include "app/layer.h"
#include "checks/finding.h"
#include "checks/run_facts.h"
#include "checks/tokenizer.h"
#include "dialogs/dialog_host.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "framework/winapp.h"

#include <string>

// What a piece of text appended to the result log is, for a listener that follows the log
// line by line.
enum class LogPiece {
    Text,      // a correct line, or the rest of a line
    Finding,   // opens a fault line: "错误:" or "网络错误:" and the message
    Fixed,     // completes a fault line: "-- 已修正" and the line end
    NotFixed,  // completes a fault line: "-- 未修正" and the line end
    Detail,    // a whole line that tells more of the finding before it (a file's versions)
};

// Follows the result log of a run: told of every piece appended to it, with the check it
// belongs to (null for the lines that open and close a run) and the fault code the check
// found (0: none).
class LogListener {
public:
    virtual void Appended(const char* check, int code, LogPiece piece, const std::wstring& text) = 0;

protected:
    ~LogListener() = default;
};

// The buffers LogFileMismatch writes its lines into hold this many characters.
constexpr size_t kFileLineChars = 256;

class CTroubleshooterApp : public CWinApp, public DialogHost {
public:
    CTroubleshooterApp();
    ~CTroubleshooterApp() override;

    BOOL InitInstance() override;

    // Operations in the order of the application's operation table.
    virtual void RunChecks();
    virtual void FinishRun();
    virtual void FormatPortName(wchar_t* out);  // at most 256 characters + terminator
    virtual const wchar_t* GetLogFilePath();
    virtual std::wstring GetPortName();
    virtual void SetPortName(const std::wstring& name);
    virtual std::wstring GetPreviousPortName();
    virtual void SetPreviousPortName(const std::wstring& name);
    virtual std::wstring GetPrinterName();
    virtual void SetPrinterName(const std::wstring& name);
    virtual wchar_t* GetDriverName();
    virtual int CheckManifestFile();
    virtual int CheckPortPresent();
    virtual int CheckLanguageMonitor();
    virtual int CheckPrinterDriver();
    virtual int CheckStatusWindowStartup();
    virtual int CheckBidiSupport();
    virtual int CheckHoldMismatchedDocuments();
    virtual int CheckProgramFolder();
    virtual int LoadFileManifest();
    virtual int CheckPackageFiles(wchar_t* section);
    virtual int CheckFileVersion(const wchar_t* path, const wchar_t* sizeText, const wchar_t* versionText,
                                 const wchar_t* timeStampText, wchar_t* currentLine);
    virtual int IsSpoolerRunning();
    virtual int CheckPortDriverService();
    virtual int ProgramItemExists(const wchar_t* itemName);
    virtual int CheckPrintServer();
    virtual int CheckNetworkPrinter();
    virtual int CheckAppPath();
    virtual int CheckPrinterRegistry();
    virtual int HasAdminRights();
    virtual int EnablePrivilege(const wchar_t* privilege);
    virtual int DisablePrivilege(const wchar_t* privilege);
    virtual int RepairPrinterDriver(int code);
    virtual int RepairAppPath(int code);
    virtual int RepairPortDriverService(unsigned bits);
    virtual int RepairStatusWindow();
    virtual int CreateStartupItems();
    virtual int EnableBidiSupport();
    virtual int DisableHoldMismatchedDocuments();
    virtual int EnablePortDriverInProfile();
    virtual int RepairLanguageMonitor(int code);
    virtual int CreateProgramItem(const wchar_t* file, const wchar_t* itemName, const wchar_t* arguments,
                                  const wchar_t* iconFile, int iconIndex);
    virtual void LogRepairOutcome(int fixed);
    // One line of a file's version, time stamp and size into `out` (kFileLineChars).
    virtual void LogFileMismatch(int current, const wchar_t* version, const wchar_t* time, unsigned size,
                                 wchar_t* out);
    virtual wchar_t* NextToken(wchar_t* text, const wchar_t* delimiters, TokenizerState* state);
    virtual void InitTokenizer(TokenizerState* state);
    virtual void FreeTokenizer(TokenizerState* state);
    virtual const wchar_t* FindAnyOf(const wchar_t* text, const wchar_t* set);

    // Run by the program-folder dialog's yes button before it closes.
    void CreateProgramFolder() override;

    // What the dialogs show of the run and ask of it.
    RunNames Names() override;
    const wchar_t* LogFilePath() override { return logFilePath; }
    wchar_t* SavedResultPath() override { return savedResultPath; }
    unsigned RunFlags() override { return runFlags; }
    DWORD FreeDiskSpaceMB() override;
    DWORD AvailableMemory() override;
    std::vector<std::wstring> SupportedPrinters() override;
    int ClassifyPrinter(const std::wstring& name) override;
    int ClassifyPrinter(const PRINTER_INFO_2W* printer) override;
    void StartLog(const std::wstring& diskText, const std::wstring& memoryText, bool redirected) override;
    void ChoosePrinter(const std::wstring& name) override;
    std::vector<std::wstring> PortsToChoose() override;
    void MovePrinter(const std::wstring& port) override;

    // Appends text to the temporary result log, and tells the log's listener.
    void AppendLog(const std::wstring& text, LogPiece piece = LogPiece::Text);
    // A check's finding in the log and so in the report: its check and code name the line,
    // a correct one is a whole line (none without text), a fault opens its line ("错误:" or
    // "网络错误:"), which the answer to the dialog completes.
    void WriteFinding(const Finding& finding);
    // A fault whose notice was answered before it is logged: its whole line.
    void WriteAnsweredFinding(const Finding& finding);
    // Names the check (CheckId) whose lines the log gets from now on, and the fault code it
    // found; null for lines that belong to no check.
    void BeginCheck(const char* check, int code = 0);
    // Told of every piece of the log; null when no one listens.
    LogListener* logListener = nullptr;

    // Start-up: false when another instance holds the "pdiag.exe" object; its window is then
    // brought to the foreground.
    bool TakeSingleInstance();
    // Start-up: logFilePath in the temporary folder, or in the Windows directory when the
    // temporary folder cannot be found.
    void PrepareLogFilePath();
    // The restart of Windows that the finish dialog asks for (ExitWindowsEx).
    virtual BOOL RestartWindows();
    // Whether HKEY_LOCAL_MACHINE itself can be opened for reading; without it nothing can be
    // checked.
    virtual bool RegistryReadable();

    // What the checks share; the fields of the shared state below that the checks read and
    // set are its fields by their old names.
    RunFacts facts;

    // Fields, in the order of the shared state.
    wchar_t logFilePath[kPathChars] = {};
    int restartNeeded = 0;
    int filesAsExpected = 1;
    wchar_t savedResultPath[kPathChars] = {};
    std::wstring& portName = facts.portName;
    std::wstring& previousPortName = facts.previousPortName;
    std::wstring& printerName = facts.printerName;
    wchar_t (&driverName)[kPathChars] = facts.driverName;
    int hasAdminRights = 1;
    unsigned char runFlags = 0;
    int& portNumber = facts.portNumber;
    const wchar_t* currentFileEntry = nullptr;
    int checkedFileEntries = 0;  // entries of the file list looked for in at least one place
    int& networkConnection = facts.networkConnection;
    wchar_t (&networkPath)[kPathChars] = facts.networkPath;
    std::wstring& serverName = facts.serverName;
    int& otherPort = facts.otherPort;
    int& remotePrinter = facts.remotePrinter;
    int& compliantPort = facts.compliantPort;
    int manifestAvailable = 1;
    int& usbLptPort = facts.usbLptPort;
    int& usbPort = facts.usbPort;
    int& redirectedLptPort = facts.redirectedLptPort;
    int& portMissing = facts.portMissing;

private:
    const char* check_ = nullptr;
    int checkCode_ = 0;
    HANDLE instanceMapping_ = nullptr;
};

// The application object through the framework's global pointer.
inline CTroubleshooterApp* TheApp()
{
    return static_cast<CTroubleshooterApp*>(AfxGetApp());
}
