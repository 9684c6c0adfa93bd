#include "framework/winapp.h"

#include <commctrl.h>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const wchar_t* appName)
    : appName_(appName ? appName : L""), instance_(GetModuleHandleW(nullptr))
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

void CWinApp::WinHelp(DWORD_PTR data, UINT command)
{
    ::WinHelpW(nullptr, helpFilePath_.c_str(), command, data);
}

void CWinApp::OnHelp()
{
    WinHelp(0, HELP_FINDER);
}

void CWinApp::Enable3dControls()
{
    INITCOMMONCONTROLSEX init = { sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&init);
}

int AfxWinMain(HINSTANCE instance, const wchar_t* commandLine)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->instance_ = instance;
    app->commandLine_ = commandLine ? commandLine : L"";
    app->InitInstance();
    return app->exitCode();
}
