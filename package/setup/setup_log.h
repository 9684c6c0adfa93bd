// What did not take effect during install, uninstall or a fault: one line per failed step.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace pkg {

class SetupLog {
public:
    // Records `step` as failed with a Win32 error code (or HRESULT); returns false.
    bool Failed(const std::wstring& step, DWORD error);
    // Records `step` when `error` is not ERROR_SUCCESS; returns whether it succeeded.
    bool Check(const std::wstring& step, DWORD error) { return error == ERROR_SUCCESS || Failed(step, error); }
    // The same for a BOOL result, taking GetLastError() on failure.
    bool CheckBool(const std::wstring& step, BOOL result) { return result || Failed(step, GetLastError()); }

    bool ok() const { return problems_.empty(); }
    const std::vector<std::wstring>& problems() const { return problems_; }

private:
    std::vector<std::wstring> problems_;
};

}  // namespace pkg
