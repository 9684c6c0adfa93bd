#include "framework/strings.h"

#include <cstdarg>

std::wstring LoadStr(UINT id, HINSTANCE module)
{
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out the resource text itself.
    int length = LoadStringW(module ? module : GetModuleHandleW(nullptr), id,
                             reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || !text)
        return std::wstring();
    return std::wstring(text, length);
}

std::wstring FormatPrintf(const wchar_t* format, ...)
{
    wchar_t buffer[1025];
    va_list args;
    va_start(args, format);
    int n = wvsprintfW(buffer, format, args);
    va_end(args);
    return std::wstring(buffer, n > 0 ? n : 0);
}

std::wstring FormatInserts(const std::wstring& format, const wchar_t* insert1, const wchar_t* insert2,
                           const wchar_t* insert3, const wchar_t* insert4)
{
    const wchar_t* inserts[4] = { insert1, insert2 ? insert2 : L"", insert3 ? insert3 : L"",
                                  insert4 ? insert4 : L"" };
    DWORD_PTR args[4];
    for (int i = 0; i < 4; ++i)
        args[i] = reinterpret_cast<DWORD_PTR>(inserts[i] ? inserts[i] : L"");
    wchar_t* out = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY |
                                 FORMAT_MESSAGE_ALLOCATE_BUFFER,
                             format.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&out), 0,
                             reinterpret_cast<va_list*>(args));
    std::wstring result = n && out ? std::wstring(out, n) : std::wstring();
    if (out)
        LocalFree(out);
    return result;
}

std::wstring ShortenPath(const std::wstring& path)
{
    size_t first = path.find(L'\\');
    if (first == std::wstring::npos)
        return path;
    size_t second = path.find(L'\\', first + 1);
    std::wstring shortened = path.substr(0, first + 1) + L"...";
    if (second != std::wstring::npos)
        shortened += path.substr(second);
    return shortened;
}
