// Linked into every test program with its manifest (test_program.rc): the test programs run
// with common controls 6, as the programs do.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// ERROR_SUCCESS when the process's activation context redirects `name` in `section`.
DWORD RedirectionError(ULONG section, const wchar_t* name)
{
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof(found);
    SetLastError(0xdeadbeef);
    return FindActCtxSectionStringW(0, nullptr, section, name, &found) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

// Version 6 comes only through the activation context that the manifest gives the process,
// under Wine as on Windows: it redirects comctl32.dll and the control classes to the
// side-by-side assembly. Without it the tests would meet the controls of version 5.
TEST(TestProgram, TakesCommonControlsSixFromItsManifest)
{
    EXPECT_EQ(RedirectionError(ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll"), DWORD(ERROR_SUCCESS));
    // The classes the programs' windows are made of.
    for (const wchar_t* windowClass : {WC_LISTVIEWW, WC_TABCONTROLW, TOOLBARCLASSNAMEW, STATUSCLASSNAMEW, WC_BUTTONW})
        EXPECT_EQ(RedirectionError(ACTIVATION_CONTEXT_SECTION_WINDOW_CLASS_REDIRECTION, windowClass),
                  DWORD(ERROR_SUCCESS))
            << testing::PrintToString(std::wstring(windowClass));
}
