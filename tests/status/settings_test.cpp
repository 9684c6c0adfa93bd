// Settings of the status window and the print monitor's per-port values, in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "status_test_support.h"

namespace {

const wchar_t kPortMonitorKey[] = L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor";
const wchar_t kMonitorsKey[] = L"System\\CurrentControlSet\\control\\Print\\Monitors\\";

TEST(PrinterSettings, ANetworkPrinterNestsServerAndQueue)
{
    const wchar_t printer[] = L"\\\\srv\\queue";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\srv");
    ASSERT_TRUE(WritePswValue(HKEY_CURRENT_USER, printer, L"Left", 250));
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\srv\\queue\\PSW", L"Left"), 250u);
    DWORD left = 0;
    EXPECT_TRUE(ReadPswValue(HKEY_CURRENT_USER, printer, L"Left", &left, 100));
    EXPECT_EQ(left, 250u);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\srv");
}

TEST(PrinterSettings, MissingValuesReadAsTheirDefaults)
{
    const wchar_t printer[] = L"PSW Fresh Printer";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\PSW Fresh Printer");
    DWORD value = 7;
    EXPECT_TRUE(ReadPswValue(HKEY_CURRENT_USER, printer, L"Top", &value, 100));
    EXPECT_EQ(value, 100u);
    // A value of the wrong size is not read.
    SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(printer), L"Top", 5);
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey(printer).c_str(), L"Top", REG_BINARY, "\1\2\3\4\5\6", 6);
    EXPECT_TRUE(ReadPswValue(HKEY_CURRENT_USER, printer, L"Top", &value, 100));
    EXPECT_EQ(value, 100u);
    // Only a REG_DWORD is a setting: four bytes of text, binary data or an empty value are not.
    const DWORD four = 4;
    struct {
        DWORD type;
        const void* data;
        DWORD bytes;
    } others[] = {{REG_SZ, L"7\0", 4}, {REG_BINARY, &four, 4}, {REG_NONE, nullptr, 0}};
    for (const auto& other : others) {
        SCOPED_TRACE(testing::Message() << "type " << other.type);
        RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey(printer).c_str(), L"Top", other.type, other.data, other.bytes);
        value = 7;
        EXPECT_TRUE(ReadPswValue(HKEY_CURRENT_USER, printer, L"Top", &value, 100));
        EXPECT_EQ(value, 100u);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\PSW Fresh Printer");
}

TEST(PortValues, ReadingCreatesThePortSubkeyAndFallsBackToTheDefault)
{
    const std::wstring portKey = std::wstring(kPortMonitorKey) + L"\\LPT2:";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, portKey.c_str());
    DWORD attribute = 0;
    ReadPortValue(&attribute, 8, PortNumber(L"LPT2:"), L"Attribute");
    EXPECT_EQ(attribute, 8u);
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, portKey));

    WritePortValue(4, 2, L"Mode");
    DWORD mode = 0;
    ReadPortValue(&mode, 1, 2, L"Mode");
    EXPECT_EQ(mode, 4u);
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, portKey, L"Mode"), 4u);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, portKey.c_str());
}

// A number written as another type or size than a four-byte REG_DWORD: a short text whose
// character is the number, its bytes, the other byte order, its two low bytes.
struct OtherForm {
    DWORD type, bytes;
};
const OtherForm kOtherForms[] = {{REG_SZ, 4}, {REG_BINARY, 4}, {REG_DWORD_BIG_ENDIAN, 4}, {REG_DWORD, 2}};

void SetOtherForm(const std::wstring& path, const wchar_t* name, const OtherForm& form, DWORD number, CallSite site = {})
{
    CallerTrace trace(site);
    const wchar_t text[2] = {wchar_t(number), 0};
    const void* data = form.type == REG_SZ ? static_cast<const void*>(text) : static_cast<const void*>(&number);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), name, form.type, data, form.bytes), ERROR_SUCCESS);
}

// The monitor's values, like the window's own, count only as four-byte numbers.
TEST(PortValues, AValueOfAnotherTypeOrSizeReadsAsMissing)
{
    const std::wstring portKey = std::wstring(kPortMonitorKey) + L"\\LPT3:";
    const std::wstring monitor = std::wstring(kMonitorsKey) + L"PSW Typed Monitor";
    const SavedDword useDma(HKEY_LOCAL_MACHINE, kPortMonitorKey, L"UseDMA");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, portKey.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, monitor.c_str());
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor + L"\\PSWPORT:", L"Unrelated", 0);
    for (const OtherForm& form : kOtherForms) {
        SCOPED_TRACE(testing::Message() << "type " << form.type << ", " << form.bytes << " bytes");
        SetOtherForm(portKey, L"Attribute", form, 4);
        DWORD attribute = 0;
        ReadPortValue(&attribute, 8, 3, L"Attribute");
        EXPECT_EQ(attribute, 8u);
        SetOtherForm(kPortMonitorKey, L"UseDMA", form, 1);
        EXPECT_FALSE(UseDmaPortSettings());
        SetOtherForm(monitor, L"ZELTCompliant", form, COMPLIANT_MONITOR);
        EXPECT_FALSE(FindCompliantMonitorPort(L"PSWPORT:"));
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, portKey.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, monitor.c_str());
}

TEST(PortValues, OnlyUseDmaOneOffersDma)
{
    const SavedDword useDma(HKEY_LOCAL_MACHINE, kPortMonitorKey, L"UseDMA");
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortMonitorKey, L"UseDMA", 1);
    EXPECT_TRUE(UseDmaPortSettings());
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortMonitorKey, L"UseDMA", 2);
    EXPECT_FALSE(UseDmaPortSettings());
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPortMonitorKey, L"UseDMA");
    EXPECT_FALSE(UseDmaPortSettings());
}

TEST(CompliantMonitor, APortCountsWhenItsMonitorDeclaresThree)
{
    const std::wstring monitor = std::wstring(kMonitorsKey) + L"PSW Test Monitor";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, monitor.c_str());
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor + L"\\PSWPORT:", L"Unrelated", 0);
    EXPECT_FALSE(FindCompliantMonitorPort(L"PSWPORT:"));   // no ZELTCompliant
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor, L"ZELTCompliant", 2);
    EXPECT_FALSE(FindCompliantMonitorPort(L"PSWPORT:"));
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor, L"ZELTCompliant", 3);
    EXPECT_TRUE(FindCompliantMonitorPort(L"PSWPORT:"));
    EXPECT_FALSE(FindCompliantMonitorPort(L"OTHERPORT:"));  // the monitor has no such port
    EXPECT_FALSE(FindCompliantMonitorPort(L"pswport"));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, monitor.c_str());
}

}  // namespace
