// The application object of a dialog-based program: one per process, reached through
// AfxGetApp(). The program's entry point constructs nothing itself; it calls AfxWinMain.
#pragma once
#include <windows.h>
#include <string>

class CWinApp {
public:
    // Sets the global application pointer to this object.
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up hook; returning FALSE ends the program without a message loop.
    virtual BOOL InitInstance();

    // The framework's help command id, routed by dialogs to OnHelp.
    static constexpr UINT ID_HELP = 57670;

    void SetHelpFilePath(const std::wstring& path) { helpFilePath_ = path; }
    const std::wstring& GetHelpFilePath() const { return helpFilePath_; }
    // Opens the help file with WinHelpW; `command` is a HELP_* value, `data` its topic.
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);
    virtual void OnHelp();

    // The three-dimensional look of dialog controls: the common controls, registered once.
    void Enable3dControls();

    HINSTANCE instance() const { return instance_; }
    const std::wstring& commandLine() const { return commandLine_; }
    const wchar_t* appName() const { return appName_.c_str(); }
    int exitCode() const { return exitCode_; }
    void SetExitCode(int code) { exitCode_ = code; }

private:
    friend int AfxWinMain(HINSTANCE, const wchar_t*);
    std::wstring appName_;
    std::wstring helpFilePath_;
    std::wstring commandLine_;
    HINSTANCE instance_;
    int exitCode_ = 0;
};

CWinApp* AfxGetApp();

// Runs the application object's start-up; returns the process exit code.
int AfxWinMain(HINSTANCE instance, const wchar_t* commandLine);
