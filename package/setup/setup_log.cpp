#include "setup_log.h"

#include <cwchar>

namespace pkg {

bool SetupLog::Failed(const std::wstring& step, DWORD error)
{
    wchar_t code[32];
    swprintf(code, 32, L" (error %lu)", static_cast<unsigned long>(error));
    problems_.push_back(step + code);
    return false;
}

}  // namespace pkg
