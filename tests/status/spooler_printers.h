// Drivers and printers added to the spooler for a test, with the package's driver files.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "app/machine_layout.h"
#include "status_test_support.h"

// The package registers its driver for the system's own environment only, and the spooler takes
// printers only for drivers of that one: the test drivers go there too, where the status
// window asks for them.
inline const wchar_t* DriverEnvironment()
{
    return ThisMachineLayout().printEnvironment;
}

inline std::wstring DriverKey(const std::wstring& driver)
{
    return L"System\\CurrentControlSet\\Control\\Print\\Environments\\" + std::wstring(DriverEnvironment()) +
           L"\\Drivers\\Version-3\\" + driver;
}

// The driver's print monitor as the spooler reports it; empty text: none.
inline void SetDriverMonitor(const std::wstring& driver, const std::wstring& monitor, CallSite site = {})
{
    CallerTrace trace(site);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, DriverKey(driver).c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS)
        << "no driver " << driver << " for " << DriverEnvironment();
    if (monitor.empty())
        RegDeleteValueW(key, L"Monitor");
    else
        EXPECT_EQ(RegSetValueExW(key, L"Monitor", 0, REG_SZ, reinterpret_cast<const BYTE*>(monitor.c_str()),
                                 DWORD((monitor.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS)
            << "cannot set the monitor of " << driver;
    RegCloseKey(key);
}

inline void AddDriver(const wchar_t* name, CallSite site = {})
{
    CallerTrace trace(site);
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<wchar_t*>(name);
    info.pEnvironment = const_cast<wchar_t*>(DriverEnvironment());
    info.pDriverPath = const_cast<wchar_t*>(L"XERB5K.DLL");
    info.pDataFile = const_cast<wchar_t*>(L"XERB5K.DLL");
    info.pConfigFile = const_cast<wchar_t*>(L"XERB5UIK.DLL");
    info.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES) ||
                GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
        << "cannot add driver " << name << ", error " << GetLastError();
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
    DeletePrinterDriverW(nullptr, const_cast<wchar_t*>(DriverEnvironment()), const_cast<wchar_t*>(name));
}
