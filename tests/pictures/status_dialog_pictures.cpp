// Shows the status window's dialogs one after the other, filled as a user meets them on a
// printer at LPT1:, so that scripts/status-pictures.sh can photograph each. The two talk
// through a folder given as the only argument: once a dialog is on screen and painted, this
// program writes NAME.ready with the window's rectangle ("left top width height", desktop
// pixels); it cancels the dialog and shows the next one as soon as the script has removed
// that file.
#include <windows.h>

#include "handshake.h"

#include <string>

#include "app/state.h"
#include "res/dialog_ids.h"
#include "ui/dialogs.h"

namespace {

constexpr UINT kTickMs = 100;
constexpr int kSettleTicks = 6;  // time for the window manager and X to show the window

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

class Camera {
public:
    explicit Camera(std::wstring folder) : folder_(std::move(folder)) {}

    void Show(const wchar_t* name, int templateId, LPARAM parameter)
    {
        ready_ = folder_ + L"\\" + name + L".ready";
        dialog_ = nullptr;
        ticks_ = 0;
        announced_ = false;
        active_ = this;
        UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
        ShowStatusDialog(g_state.instance, nullptr, templateId, parameter);
        KillTimer(nullptr, timer);
        active_ = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (active_)
            active_->Step();
    }

    void Step()
    {
        if (!dialog_) {
            EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog_));
            if (!dialog_)
                return;
            // Active, so that its title bar is drawn as a person sees it.
            SetForegroundWindow(dialog_);
        }
        if (!announced_) {
            if (++ticks_ < kSettleTicks)
                return;
            Announce();
            announced_ = true;
            return;
        }
        if (GetFileAttributesW(ready_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            active_ = nullptr;
        }
    }

    void Announce() const { AnnounceWindow(ready_, dialog_); }

    static Camera* active_;
    std::wstring folder_;
    std::wstring ready_;
    HWND dialog_ = nullptr;
    int ticks_ = 0;
    bool announced_ = false;
};

Camera* Camera::active_ = nullptr;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    std::wstring folder = commandLine;
    if (folder.size() >= 2 && folder.front() == L'"')
        folder = folder.substr(1, folder.size() - 2);

    // The state the window has for the stand-in printer with a fresh user's options; the
    // port dialogs read the port values the stand-in package installed.
    InitializeCriticalSection(&g_state.ProcessHeapLock);
    g_state.instance = instance;
    lstrcpyW(g_state.printerName, L"Tavik QX2210-2370");
    lstrcpyW(g_state.portName, L"LPT1:");
    g_state.showing = 0;
    g_state.statusSense = 1;
    g_state.alwaysOnTop = 0;

    Camera camera(folder);
    camera.Show(L"401-options", IDD_OPTIONS, 0);
    camera.Show(L"402-about", IDD_ABOUT, 0);
    camera.Show(L"403-port-settings", IDD_PORT_SETTINGS, PORT_SETTINGS_STANDARD);
    camera.Show(L"406-port-settings-dma", IDD_PORT_SETTINGS_DMA, PORT_SETTINGS_DMA);
    DeleteCriticalSection(&g_state.ProcessHeapLock);
    return 0;
}
