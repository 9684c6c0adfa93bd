// What the troubleshooter's dialogs show of the run and ask of it. The application object is
// the host; a dialog finds it through the framework's application pointer and reaches the
// checks only through it.
#pragma once
#include "dialogs/layer.h"
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

// Bits of the run's flags.
enum RunFlag : unsigned char {
    RUN_COMPLETED = 0x01,
    RUN_SETTING_WRONG = 0x02,
    RUN_NETWORK_FAULT = 0x04,
    RUN_REINSTALL = 0x08,
};

// The names and port facts of the run that the dialogs show or go by.
struct RunNames {
    std::wstring driverName;
    std::wstring portName;
    std::wstring previousPortName;  // the port before the port choice moved the printer
    std::wstring serverName;
    std::wstring networkPath;
    bool redirectedLptPort = false;
    bool portMissing = false;       // the LPT port is not among the machine's parallel ports
};

class DialogHost {
public:
    virtual RunNames Names() = 0;
    virtual const wchar_t* LogFilePath() = 0;
    // Where the results dialog keeps the log (kPathChars characters).
    virtual wchar_t* SavedResultPath() = 0;
    virtual unsigned RunFlags() = 0;

    // The start dialog's figures: free space of the system drive in MB, available memory in bytes.
    virtual DWORD FreeDiskSpaceMB() = 0;
    virtual DWORD AvailableMemory() = 0;
    // The printers of the supported driver, as the start dialog lists them.
    virtual std::vector<std::wstring> SupportedPrinters() = 0;
    // Classifies the named printer's port (a null record: no printer) for the run; n of its
    // port LPTn, else 0.
    virtual int ClassifyPrinter(const std::wstring& name) = 0;
    virtual int ClassifyPrinter(const PRINTER_INFO_2W* printer) = 0;
    // Creates the result log anew with its header lines; `redirected` marks an LPT port that
    // leads to the network path.
    virtual void StartLog(const std::wstring& diskText, const std::wstring& memoryText, bool redirected) = 0;
    // The printer the run checks, chosen in the start dialog.
    virtual void ChoosePrinter(const std::wstring& name) = 0;

    // The ports the printer may be moved to, and the move to one of them.
    virtual std::vector<std::wstring> PortsToChoose() = 0;
    virtual void MovePrinter(const std::wstring& port) = 0;

    // Run by the program-folder dialog's yes button before it closes.
    virtual void CreateProgramFolder() = 0;

protected:
    ~DialogHost() = default;
};

// The application object as the dialogs' host; null when there is none.
DialogHost* TheDialogHost();
