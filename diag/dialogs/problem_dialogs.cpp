// Fault reports and the dialogs of the same shape. (templates and fill-ins to follow)
#include "dialogs/problem_dialogs.h"

#include "app/troubleshooter_app.h"
#include "res/resource.h"

ProblemDialog::ProblemDialog(const Shape& shape) : CDialog(shape.templateId), shape_(shape) {}

void ProblemDialog::SetMember(int index, const std::wstring& text)
{
    if (index >= 1 && index <= 5)
        lstrcpynW(members_[index - 1], text.c_str(), 260);
}

const wchar_t* ProblemDialog::member(int index) const
{
    return index >= 1 && index <= 5 ? members_[index - 1] : L"";
}

BOOL ProblemDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillTexts();
    return TRUE;
}

void ProblemDialog::OnCancel() {}

BOOL ProblemDialog::OnCommand(UINT id, UINT notifyCode, HWND)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    if (shape_.helpButton && static_cast<int>(id) == shape_.helpButton) {
        OnHelpInfo(nullptr);
        return TRUE;
    }
    EndDialog(id);
    return TRUE;
}

BOOL ProblemDialog::OnPaint()
{
    if (!shape_.icon)
        return FALSE;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    DrawIcon(dc, shape_.iconAt.x, shape_.iconAt.y, LoadIconW(nullptr, shape_.icon));
    EndPaint(hwnd(), &ps);
    return TRUE;
}

BOOL ProblemDialog::OnHelpInfo(HELPINFO*)
{
    DWORD topic = HelpTopic();
    if (topic && AfxGetApp())
        AfxGetApp()->WinHelp(topic, HELP_CONTEXT);
    return TRUE;
}

DWORD ProblemDialog::HelpTopic() const
{
    return shape_.helpTopic;
}
