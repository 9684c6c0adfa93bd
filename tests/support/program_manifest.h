// A program's embedded manifest read back as the system reads it when the program starts:
// resource 1 of type RT_MANIFEST, made into an activation context by the system's own parser.
// What the tests then ask is what the loader acts on (run level, DPI settings, the
// assemblies it binds), not what the XML text happens to say.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// A program of the build folder the running test program belongs to (<build>\tests\x.exe).
inline std::wstring ProgramOfThisBuild(const wchar_t* relative)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.rfind(L'\\'));  // <build>\tests
    path.resize(path.rfind(L'\\'));  // <build>
    return path + L"\\" + relative;
}

inline BOOL CALLBACK CollectResourceId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids)
{
    // A named manifest has no place in a program: it counts as id 0.
    reinterpret_cast<std::vector<ULONG_PTR>*>(ids)->push_back(IS_INTRESOURCE(name) ? ULONG_PTR(name) : 0);
    return TRUE;
}

// The ids of the program file's RT_MANIFEST resources.
inline std::vector<ULONG_PTR> ManifestResourceIds(const std::wstring& program)
{
    std::vector<ULONG_PTR> ids;
    HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_TRUE(file) << "cannot read " << testing::PrintToString(program) << ": " << GetLastError();
    if (!file)
        return ids;
    EnumResourceNamesW(file, RT_MANIFEST, CollectResourceId, reinterpret_cast<LONG_PTR>(&ids));
    FreeLibrary(file);
    return ids;
}

// The activation context of a program's manifest, made as at the program's start.
class ManifestContext {
public:
    explicit ManifestContext(const std::wstring& program)
    {
        ACTCTXW request = {};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = program.c_str();
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        SetLastError(0xdeadbeef);
        context_ = CreateActCtxW(&request);
        error_ = context_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    ~ManifestContext()
    {
        if (made())
            ReleaseActCtx(context_);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    // False when the system refuses the manifest, as it would refuse to start the program.
    bool made() const { return context_ != INVALID_HANDLE_VALUE; }
    DWORD error() const { return error_; }

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION RunLevel() const
    {
        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
        SIZE_T written = 0;
        EXPECT_TRUE(QueryActCtxW(0, context_, nullptr, RunlevelInformationInActivationContext, &level,
                                 sizeof(level), &written))
            << GetLastError();
        return level;
    }

    // A value of the application's windowsSettings; none when the manifest does not set it.
    std::optional<std::wstring> Setting(const wchar_t* nameSpace, const wchar_t* name) const
    {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, nameSpace, name, value, ARRAYSIZE(value), &written))
            return std::nullopt;
        return std::wstring(value);
    }

    // The identity of the assembly that this context itself (not one active beneath it, such
    // as the test program's) takes a DLL from, as the system encodes it: name first, then
    // its attributes ("version=..."); empty when the DLL is not redirected by this context.
    std::wstring AssemblyOfDll(const wchar_t* dll) const
    {
        ULONG_PTR cookie = 0;
        if (!ActivateActCtx(context_, &cookie)) {
            ADD_FAILURE() << "cannot activate the context: " << GetLastError();
            return L"";
        }
        ACTCTX_SECTION_KEYED_DATA found = {};
        found.cbSize = sizeof(found);
        const BOOL redirected = FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                                         ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, dll, &found);
        DeactivateActCtx(0, cookie);
        if (!redirected)
            return L"";
        const bool own = found.hActCtx == context_;
        ReleaseActCtx(found.hActCtx);
        if (!own)
            return L"";

        DWORD index = found.ulAssemblyRosterIndex;
        SIZE_T size = 0;
        QueryActCtxW(0, context_, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &size);
        std::vector<BYTE> buffer(size ? size : 1);
        if (!QueryActCtxW(0, context_, &index, AssemblyDetailedInformationInActivationContext, buffer.data(),
                          buffer.size(), &size)) {
            ADD_FAILURE() << "no details of assembly " << index << ": " << GetLastError();
            return L"";
        }
        const auto* assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        return assembly->lpAssemblyEncodedAssemblyIdentity ? assembly->lpAssemblyEncodedAssemblyIdentity : L"";
    }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    DWORD error_ = 0;
};

inline const wchar_t kWindowsSettings2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
inline const wchar_t kWindowsSettings2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// The identity names the common controls assembly of major version 6, whatever its build.
inline bool IsCommonControlsSix(std::wstring identity)
{
    CharLowerW(identity.data());
    return identity.rfind(L"microsoft.windows.common-controls,", 0) == 0 &&
           identity.find(L"version=\"6.") != std::wstring::npos;
}
