// Test helpers for the troubleshooter's dialogs: an application object that records help
// calls and the program-folder operation, and an autopilot that works through a list of steps.
#pragma once
#include "app/troubleshooter_app.h"
#include "framework/autopilot.h"
#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class RecordingApp : public CTroubleshooterApp {
public:
    std::vector<std::pair<DWORD_PTR, UINT>> help;
    int foldersCreated = 0;
    std::function<void()> onCreateProgramFolder;

    void WinHelp(DWORD_PTR data, UINT command) override { help.emplace_back(data, command); }
    void CreateProgramFolder() override
    {
        ++foldersCreated;
        if (onCreateProgramFolder)
            onCreateProgramFolder();
    }
};

// Each Answer runs steps until one returns an action. A step that returns nothing has done
// its work on the dialog itself (sent it a message, looked at it) and the next step follows
// at once. With no step left the pilot presses a control that does not exist, so the dialog
// ends with -1 instead of waiting for a person.
class StepPilot : public Autopilot {
public:
    using Step = std::function<std::optional<AutopilotAction>(const DialogSnapshot&)>;
    std::vector<Step> steps;
    std::vector<DialogSnapshot> seen;
    std::vector<DialogSnapshot> created;
    int stuck = 0;
    // False: the pilot sees no windows, and a dialog with a content is answered from it.
    bool windows = true;

    StepPilot() = default;
    explicit StepPilot(std::vector<Step> script) : steps(std::move(script)) {}

    AutopilotAction Answer(const DialogSnapshot& dialog) override
    {
        seen.push_back(dialog);
        while (next_ < steps.size()) {
            std::optional<AutopilotAction> action = steps[next_++](dialog);
            if (action)
                return *action;
        }
        return AutopilotAction::press(kNoSuchControl);
    }
    void Created(const DialogSnapshot& dialog) override { created.push_back(dialog); }
    void Stuck(const DialogSnapshot&, const AutopilotAction&) override { ++stuck; }
    bool SeesWindows() const override { return windows; }

    static constexpr int kNoSuchControl = 31999;

private:
    size_t next_ = 0;
};

inline StepPilot::Step Press(int id)
{
    return [id](const DialogSnapshot&) { return std::optional<AutopilotAction>(AutopilotAction::press(id)); };
}

// Runs `work` on the dialog being answered, then goes on with the next step.
inline StepPilot::Step Do(std::function<void(const DialogSnapshot&)> work)
{
    return [work](const DialogSnapshot& dialog) {
        work(dialog);
        return std::optional<AutopilotAction>();
    };
}

// F1: the WM_HELP that the dialog manager sends for the key.
inline StepPilot::Step PressF1(const CDialog& dialog)
{
    return Do([&dialog](const DialogSnapshot&) {
        HELPINFO info = { sizeof(info), HELPINFO_WINDOW, 0, dialog.hwnd(), 0, { 0, 0 } };
        SendMessageW(dialog.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    });
}

// Every control's text, in the order of the template.
inline std::vector<std::wstring> Texts(const DialogSnapshot& dialog)
{
    std::vector<std::wstring> texts;
    for (const ControlState& control : dialog.controls)
        texts.push_back(control.text);
    return texts;
}

// True when the client area is exactly w x h dialog units, the size the template gives.
inline bool ClientAreaIs(HWND dialog, int w, int h)
{
    RECT client;
    GetClientRect(dialog, &client);
    RECT expected = { 0, 0, w, h };
    MapDialogRect(dialog, &expected);
    return client.right == expected.right && client.bottom == expected.bottom;
}

// A dialog's content holds the controls `ids` and what its window shows of them: each is in
// the window with the same class, state, entries and choice, and with the same text where it
// has one (not for the controls in `textsApart`, whose texts are read afresh).
inline void ExpectContentAsWindow(const DialogSnapshot& content, const DialogSnapshot& window,
                                  const std::vector<int>& ids, const std::vector<int>& textsApart = {})
{
    EXPECT_EQ(content.templateId, window.templateId);
    std::vector<int> held;
    for (const ControlState& control : content.controls)
        held.push_back(control.id);
    EXPECT_EQ(held, ids);
    for (const ControlState& control : content.controls) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        const ControlState* shown = window.find(control.id);
        ASSERT_TRUE(shown);
        EXPECT_EQ(control.className, shown->className);
        EXPECT_EQ(control.enabled, shown->enabled);
        EXPECT_EQ(control.visible, shown->visible);
        EXPECT_EQ(control.check, shown->check);
        EXPECT_EQ(control.items, shown->items);
        EXPECT_EQ(control.selection, shown->selection);
        bool apart = std::find(textsApart.begin(), textsApart.end(), control.id) != textsApart.end();
        if (!control.text.empty() && !apart) {
            EXPECT_EQ(control.text, shown->text);
        }
    }
}
