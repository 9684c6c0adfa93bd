// The file check as the run shows and logs it: the manifest's file list walked entry by entry,
// each missing or differing file asked about in its dialog and logged, in the order of the list.
#include "app/troubleshooter_app.h"

#include "checks/file_checks.h"
#include "checks/manifest.h"
#include "dialogs/problem_dialogs.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>

namespace {

// The texts of the three kinds of difference the file-version dialog shows.
struct DifferenceTexts {
    UINT message;
    UINT currentLabel;
    UINT expectedLabel;
};

DifferenceTexts TextsOf(FileComparison::Difference difference)
{
    switch (difference) {
    case FileComparison::Size: return { IDS_UNEXPECTED_SIZE, IDS_CURRENT_SIZE, IDS_EXPECTED_SIZE };
    case FileComparison::TimeStamp: return { IDS_UNEXPECTED_TIMESTAMP, IDS_CURRENT_TIMESTAMP, IDS_EXPECTED_TIMESTAMP };
    default: return { IDS_UNEXPECTED_VERSION, IDS_CURRENT_VERSION, IDS_EXPECTED_VERSION };
    }
}

void NoteFileFinding(CTroubleshooterApp& app)
{
    app.filesAsExpected = 0;
    app.runFlags |= RUN_SETTING_WRONG | RUN_REINSTALL;
}

// Asks about each file the walk finds missing or different and logs it; the missing-file
// dialog is one for the whole list.
class FileDialogs : public FileListVisitor {
public:
    explicit FileDialogs(CTroubleshooterApp& app) : app_(app) {}

    bool Missing(const PackageFileEntry& entry, const std::wstring& path) override
    {
        app_.currentFileEntry = entry.name;
        NoteFileFinding(app_);
        missingDialog_.SetMember(1, ShortenPath(path));
        INT_PTR answer = missingDialog_.DoModal();
        app_.WriteAnsweredFinding(MissingFileFinding(path));
        return answer != IDC_MISSING_EXIT;
    }

    bool Present(const PackageFileEntry& entry, const std::wstring& path) override
    {
        app_.currentFileEntry = entry.name;
        wchar_t current[kFileLineChars] = {};
        wchar_t expected[kFileLineChars] = {};
        int answer = app_.CheckFileVersion(path.c_str(), entry.sizeText, entry.versionText, entry.stamp.c_str(), current);
        app_.LogFileMismatch(0, entry.versionText, entry.stamp.c_str(), wcstoul(entry.sizeText, nullptr, 10), expected);
        if (answer != IDC_VERSION_CONTINUE && answer != IDC_VERSION_EXIT)
            return true;
        NoteFileFinding(app_);
        app_.WriteAnsweredFinding(DifferingFileFinding(path));
        app_.AppendLog(current, LogPiece::Detail);
        app_.AppendLog(expected, LogPiece::Detail);
        return answer != IDC_VERSION_EXIT;
    }

private:
    CTroubleshooterApp& app_;
    CFileMissingDlg missingDialog_;
};

// A damaged file list: reported in the file-version dialog, then logged. 0 when the user
// chose Exit.
int ReportDamagedFileList(CTroubleshooterApp& app)
{
    NoteFileFinding(app);
    const std::wstring path = ManifestPath();
    CFileVersionDlg dialog;
    dialog.SetMember(1, FormatPrintf(LoadStr(IDS_FILE_LIST_DAMAGED).c_str(), ShortenPath(path).c_str()));
    INT_PTR answer = dialog.DoModal();
    app.WriteAnsweredFinding(DamagedFileListFinding());
    return answer == IDC_VERSION_EXIT ? 0 : 1;
}

}  // namespace

int CTroubleshooterApp::CheckManifestFile()
{
    if (ManifestFileOpens())
        return 1;
    filesAsExpected = 0;
    return 0;
}

int CTroubleshooterApp::LoadFileManifest()
{
    ManifestFileList list;
    if (!ReadFileList(list))
        return 1;
    checkedFileEntries = 0;
    int result = CheckPackageFiles(list.body.data());
    if (result && IsDamagedFileList(list, checkedFileEntries))
        return ReportDamagedFileList(*this);
    if (filesAsExpected == 1)
        WriteFinding(AllFilesExpectedFinding());
    return result;
}

int CTroubleshooterApp::CheckPackageFiles(wchar_t* section)
{
    FileDialogs dialogs(*this);
    int result = WalkFileList(section, dialogs, checkedFileEntries) ? 1 : 0;
    currentFileEntry = nullptr;  // it pointed into the walk's copy
    return result;
}

int CTroubleshooterApp::CheckFileVersion(const wchar_t* path, const wchar_t* sizeText, const wchar_t* versionText,
                                         const wchar_t* timeStampText, wchar_t* currentLine)
{
    const FileComparison found = CompareFile(path, sizeText, versionText, timeStampText);
    if (!found.currentVersion.empty())
        LogFileMismatch(1, found.currentVersion.c_str(), found.currentTime.c_str(), found.currentSize, currentLine);
    if (found.difference == FileComparison::None)
        return found.readable ? 0 : -1;
    const DifferenceTexts texts = TextsOf(found.difference);
    CFileVersionDlg dialog;
    dialog.SetMember(1, FormatPrintf(LoadStr(texts.message).c_str(), ShortenPath(path).c_str()));
    dialog.SetMember(2, LoadStr(texts.currentLabel));
    dialog.SetMember(3, found.current);
    dialog.SetMember(4, LoadStr(texts.expectedLabel));
    dialog.SetMember(5, found.expected);
    return static_cast<int>(dialog.DoModal());
}
