// Drivers and printers added to the spooler for a test, with the package's driver files.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "status_test_support.h"

inline const wchar_t kEnvironment[] = L"Windows NT x86";
// A 64-bit build's spooler takes printers only for drivers of its own environment, so there the
// drivers are added to that one as well.
#ifdef _WIN64
inline const wchar_t* const kDriverEnvironments[] = {kEnvironment, L"Windows x64"};
#else
inline const wchar_t* const kDriverEnvironments[] = {kEnvironment};
#endif

inline std::wstring DriverKey(const std::wstring& driver, const std::wstring& environment = kEnvironment)
{
    return L"System\\CurrentControlSet\\Control\\Print\\Environments\\" + environment + L"\\Drivers\\Version-3\\" +
           driver;
}

// The driver's print monitor as the spooler reports it, in every environment that has the
// driver (the package's own is in its native one only); empty text: none.
inline void SetDriverMonitor(const std::wstring& driver, const std::wstring& monitor, CallSite site = {})
{
    CallerTrace trace(site);
    int found = 0;
    for (const wchar_t* environment : kDriverEnvironments) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DriverKey(driver, environment).c_str(), 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        ++found;
        if (monitor.empty())
            RegDeleteValueW(key, L"Monitor");
        else
            EXPECT_EQ(RegSetValueExW(key, L"Monitor", 0, REG_SZ, reinterpret_cast<const BYTE*>(monitor.c_str()),
                                     DWORD((monitor.size() + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS)
                << "cannot set the monitor of " << driver << " for " << environment;
        RegCloseKey(key);
    }
    EXPECT_GT(found, 0) << "no driver " << driver;
}

inline void AddDriver(const wchar_t* name, CallSite site = {})
{
    CallerTrace trace(site);
    for (const wchar_t* environment : kDriverEnvironments) {
        DRIVER_INFO_3W info = {};
        info.cVersion = 3;
        info.pName = const_cast<wchar_t*>(name);
        info.pEnvironment = const_cast<wchar_t*>(environment);
        info.pDriverPath = const_cast<wchar_t*>(L"XERB5K.DLL");
        info.pDataFile = const_cast<wchar_t*>(L"XERB5K.DLL");
        info.pConfigFile = const_cast<wchar_t*>(L"XERB5UIK.DLL");
        info.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
        ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES) ||
                    GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
            << "cannot add driver " << name << " for " << environment << ", error " << GetLastError();
    }
}

inline void AddTestPrinter(const wchar_t* name, const wchar_t* driver, const wchar_t* port, CallSite site = {})
{
    CallerTrace trace(site);
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(name);
    info.pDriverName = const_cast<wchar_t*>(driver);
    info.pPortName = const_cast<wchar_t*>(port);
    info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_TRUE(printer) << "cannot add printer " << name << ", error " << GetLastError();
    ClosePrinter(printer);
}

inline void DeletePrinterNamed(const wchar_t* name)
{
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(name), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
}

inline void DeleteDriver(const wchar_t* name)
{
    for (const wchar_t* environment : kDriverEnvironments)
        DeletePrinterDriverW(nullptr, const_cast<wchar_t*>(environment), const_cast<wchar_t*>(name));
}

