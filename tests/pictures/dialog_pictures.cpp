// Shows every dialog of the troubleshooter on screen in turn, filled as a run fills it, so
// that scripts/dialog-pictures.sh can photograph each one. The two talk through a folder
// given as the only argument: once a dialog is on screen and painted, this program writes
// NAME.ready with the window's rectangle ("left top width height", desktop pixels); it
// closes the dialog and shows the next one as soon as the script has removed that file.
#include "app/troubleshooter_app.h"
#include "checks/machine_layout.h"
#include "checks/manifest.h"
#include "handshake.h"
#include "dialogs/problem_dialogs.h"
#include "dialogs/results_dialog.h"
#include "dialogs/select_port_dialog.h"
#include "dialogs/start_dialog.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <string>
#include <type_traits>

namespace {

constexpr UINT kTickMs = 100;
constexpr int kSettleTicks = 6;  // time for the window manager and X to show the window

class Camera {
public:
    explicit Camera(std::wstring folder) : folder_(std::move(folder)) {}

    void Modal(const wchar_t* name, CDialog& dialog)
    {
        Begin(name, dialog);
        UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
        dialog.DoModal();
        KillTimer(nullptr, timer);
    }

    void Modeless(const wchar_t* name, CDialog& dialog)
    {
        Begin(name, dialog);
        if (!dialog.Create())
            return;
        dialog.ShowWindow(SW_SHOW);
        dialog.UpdateWindow();
        UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
        MSG message;
        while (!taken_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        KillTimer(nullptr, timer);
        dialog.DestroyWindow();
    }

private:
    void Begin(const wchar_t* name, CDialog& dialog)
    {
        current_ = &dialog;
        ready_ = folder_ + L"\\" + name + L".ready";
        ticks_ = 0;
        announced_ = false;
        taken_ = false;
        active_ = this;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Camera* self = active_;
        if (!self || self->taken_ || !self->Step())
            return;
        self->taken_ = true;
        if (!self->current_->ended())
            self->current_->EndDialog(0);
    }

    // True once the script has taken the picture.
    bool Step()
    {
        HWND window = current_->hwnd();
        if (!window || !IsWindowVisible(window))
            return false;
        if (!announced_) {
            // Active, so that its title bar is drawn as a person sees it.
            if (ticks_ == 0)
                SetForegroundWindow(window);
            if (++ticks_ < kSettleTicks)
                return false;
            Announce(window);
            announced_ = true;
            return false;
        }
        return GetFileAttributesW(ready_.c_str()) == INVALID_FILE_ATTRIBUTES;
    }

    void Announce(HWND window) const { AnnounceWindow(ready_, window); }

    static Camera* active_;
    std::wstring folder_;
    std::wstring ready_;
    CDialog* current_ = nullptr;
    int ticks_ = 0;
    bool announced_ = false;
    bool taken_ = false;
};

Camera* Camera::active_ = nullptr;

// The state of a run on a printer at LPT1: whose port-driver service was found disabled
// and repaired.
class PictureApp : public CTroubleshooterApp {
public:
    BOOL InitInstance() override
    {
        Enable3dControls();
        lstrcpyW(driverName, L"Tavik QX2210-2370");
        printerName = driverName;
        portName = L"LPT1:";
        runFlags = RUN_COMPLETED | RUN_SETTING_WRONG;
        GetTempPathW(260, logFilePath);
        lstrcatW(logFilePath, L"ts_xerb5.tmp");
        WriteLog();
        std::wstring folder = commandLine();
        if (folder.size() >= 2 && folder.front() == L'"')
            folder = folder.substr(1, folder.size() - 2);
        ShowAll(Camera(folder));
        DeleteFileW(logFilePath);
        return FALSE;
    }

    void WinHelp(DWORD_PTR, UINT) override {}
    void CreateProgramFolder() override {}

private:
    void WriteLog()
    {
        DeleteFileW(logFilePath);
        SYSTEMTIME now;
        GetLocalTime(&now);
        now.wMilliseconds = 0;
        wchar_t date[64] = {}, time[64] = {};
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64);
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 64);
        std::wstring port = portName + LoadStr(IDS_LOCAL);
        const std::wstring end = L"\r\n";
        AppendLog(FormatInserts(LoadStr(IDS_LOG_HEADER), driverName, port.c_str(), date, time) + end);
        AppendLog(LoadStr(IDS_FREE_DISK) + L": 20480" + LoadStr(IDS_MB) + end);
        AppendLog(LoadStr(IDS_FREE_MEMORY) + L": 523264" + LoadStr(IDS_KB) + end);
        AppendLog(LoadStr(IDS_ALL_FILES_EXPECTED) + end);
        AppendLog(FormatInserts(LoadStr(IDS_PORT_CONNECTION), driverName, portName.c_str()) + end);
        AppendLog(LoadStr(IDS_MODE_BIDI) + end);
        AppendLog(LoadStr(IDS_REGISTRY_CORRECT) + end);
        AppendLog(LoadStr(IDS_ERROR) + LoadStr(IDS_ONDRIX_DISABLED) + LoadStr(IDS_FIXED) + end);
        AppendLog(LoadStr(IDS_LANGMON_INSTALLED) + end);
        AppendLog(FormatPrintf(LoadStr(IDS_DRIVER_CORRECT).c_str(), driverName) + end);
        AppendLog(LoadStr(IDS_STATUSWND_INSTALLED) + end);
        AppendLog(FormatPrintf(LoadStr(IDS_ATTRIBUTES_CORRECT).c_str(), driverName) + end);
        AppendLog(LoadStr(IDS_FOLDER_CORRECT) + end);
        AppendLog(LoadStr(IDS_RUN_COMPLETE) + end);
        AppendLog(FormatInserts(LoadStr(IDS_SUMMARY_WRONG), driverName, port.c_str()) + end);
    }

    template <typename Dialog>
    void Show(Camera& camera, const wchar_t* name, std::initializer_list<std::wstring> members = {})
    {
        Dialog dialog;
        if constexpr (std::is_base_of_v<ProblemDialog, Dialog>) {
            int index = 1;
            for (const std::wstring& text : members)
                dialog.SetMember(index++, text);
        }
        camera.Modal(name, dialog);
    }

    void ShowFileVersion(Camera& camera, const wchar_t* name, UINT message, UINT current, UINT expected,
                         const wchar_t* currentValue, const wchar_t* expectedValue)
    {
        std::wstring file = ShortenPath(ThisMachine().driverDirectory + L"\\XERB5K.DLL");
        Show<CFileVersionDlg>(camera, name,
                              { FormatPrintf(LoadStr(message).c_str(), file.c_str()), LoadStr(current),
                                currentValue, LoadStr(expected), expectedValue });
    }

    void ShowAll(Camera camera)
    {
        {
            CStartDlg start;
            camera.Modal(L"102-start", start);
        }
        Show<CSpoolerStoppedDlg>(camera, L"133-spooler-stopped");
        {
            CCheckingSystemDlg checking;
            camera.Modeless(L"147-checking-system", checking);
        }
        std::wstring manifest = ManifestPath();
        Show<CFileMissingDlg>(camera, L"136-file-missing", { ShortenPath(manifest) });
        ShowFileVersion(camera, L"150-file-version", IDS_UNEXPECTED_VERSION, IDS_CURRENT_VERSION,
                        IDS_EXPECTED_VERSION, L"1.00.0.012", L"1.02.0.015");
        ShowFileVersion(camera, L"150-file-size", IDS_UNEXPECTED_SIZE, IDS_CURRENT_SIZE, IDS_EXPECTED_SIZE,
                        L"118784", L"120832");
        ShowFileVersion(camera, L"150-file-timestamp", IDS_UNEXPECTED_TIMESTAMP, IDS_CURRENT_TIMESTAMP,
                        IDS_EXPECTED_TIMESTAMP, L"2003/11/02 09:15:40", L"2004/01/30 12:00:00");
        Show<CPortSettingsDlg>(camera, L"138-port-settings");
        {
            CSelectPortDlg select;
            camera.Modal(L"137-select-port", select);
        }
        Show<CRegistryReinstallDlg>(camera, L"158-registry-reinstall");
        Show<CRegistryFixDlg>(camera, L"157-registry-fix");
        Show<COndrixDriverDlg>(camera, L"151-ondrix-driver", { LoadStr(IDS_ONDRIX_DISABLED) });
        portMissing = 1;
        Show<COndrixDriverDlg>(camera, L"151-ondrix-driver-port-missing", { LoadStr(IDS_ONDRIX_NOT_RUNNING) });
        portMissing = 0;
        Show<CLangMonitorDlg>(camera, L"141-language-monitor");
        Show<CDriverSettingsDlg>(camera, L"142-driver-settings");
        Show<CStatusWindowDlg>(camera, L"143-status-window");
        Show<CBidiDlg>(camera, L"144-bidi");
        Show<CHoldMismatchedDlg>(camera, L"159-hold-mismatched");
        Show<CProgramFolderDlg>(camera, L"146-program-folder");
        Show<CFolderItemDlg>(camera, L"148-folder-item", { L"Tavik QX2210-2370 状态窗口" });
        Show<CNoPermissionDlg>(camera, L"153-no-permission");
        // The network dialogs as a run on a printer shared by a print server shows them.
        serverName = L"PRNSRV";
        lstrcpyW(networkPath, L"\\\\PRNSRV\\QX2210");
        {
            CCheckingNetworkDlg checking;
            camera.Modeless(L"149-checking-network", checking);
        }
        Show<CServerErrorDlg>(camera, L"154-server-error");
        Show<CNetPrinterErrorDlg>(camera, L"155-net-printer-error");
        serverName.clear();
        networkPath[0] = 0;
        Show<CResultsDlg>(camera, L"129-results");
        lstrcpynW(savedResultPath, CResultsDlg::ProposedFileName().c_str(), 260);
        Show<CWriteFailedDlg>(camera, L"134-write-failed");
        Show<CFinishDlg>(camera, L"135-finish");
    }
};

PictureApp g_app;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    return AfxWinMain(instance, commandLine);
}
