// Machine states of the port and network tests: printers of the tests' own in the spooler,
// the parallel-port device map, extra local ports, a registered print monitor with a port
// of its own, remembered network connections of the user, and a scripted network.
#pragma once
#include "checks/network_checks.h"
#include "machine_state.h"

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The driver and printer the installed package brings.
inline const wchar_t kTavikDriver[] = L"Tavik QX2210-2370";
inline const wchar_t kTavikPrinter[] = L"Tavik QX2210-2370";
// The port of the tests' print monitor (test_port_monitor.c) and the monitor's name.
inline const wchar_t kMonitorPort[] = L"MONPORT1:";
inline const wchar_t kTestMonitor[] = L"Chk Port Monitor";
inline const std::wstring kMonitorsKey = L"System\\CurrentControlSet\\control\\Print\\Monitors\\";
inline const std::wstring kParallelPortsKey = L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
inline const std::wstring kLocalPortsKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// A printer added to the spooler for a test and deleted afterwards.
class SpoolerPrinter {
public:
    SpoolerPrinter(const std::wstring& name, const std::wstring& driver, const std::wstring& port) : name_(name)
    {
        std::wstring printer = name, driverName = driver, portName = port;
        std::wstring processor = L"WinPrint", datatype = L"RAW";
        PRINTER_INFO_2W info = {};
        info.pPrinterName = &printer[0];
        info.pDriverName = &driverName[0];
        info.pPortName = &portName[0];
        info.pPrintProcessor = &processor[0];
        info.pDatatype = &datatype[0];
        HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        EXPECT_TRUE(handle) << "AddPrinterW failed with " << GetLastError();
        if (handle)
            ClosePrinter(handle);
    }
    ~SpoolerPrinter()
    {
        PRINTER_DEFAULTSW access = { nullptr, nullptr, PRINTER_ALL_ACCESS };
        HANDLE handle = nullptr;
        if (OpenPrinterW(&name_[0], &handle, &access)) {
            DeletePrinter(handle);
            ClosePrinter(handle);
        }
    }
    SpoolerPrinter(const SpoolerPrinter&) = delete;
    SpoolerPrinter& operator=(const SpoolerPrinter&) = delete;

private:
    std::wstring name_;
};

// A field of the printer's PRINTER_INFO_2 as the spooler reports it; empty when it cannot.
inline std::optional<std::wstring> SpoolerField(const std::wstring& printer, LPWSTR PRINTER_INFO_2W::*field)
{
    std::wstring name = printer;
    HANDLE handle = nullptr;
    if (!OpenPrinterW(&name[0], &handle, nullptr))
        return std::nullopt;
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed + 4);
    std::optional<std::wstring> value;
    if (GetPrinterW(handle, 2, info.data(), needed, &needed)) {
        const wchar_t* text = reinterpret_cast<PRINTER_INFO_2W*>(info.data())->*field;
        value = text ? text : L"";
    }
    ClosePrinter(handle);
    return value;
}

inline std::optional<std::wstring> SpoolerPort(const std::wstring& printer)
{
    return SpoolerField(printer, &PRINTER_INFO_2W::pPortName);
}

// Moves a printer to another driver or port for a scope (SetPrinterW) and back.
class PrinterChange {
public:
    PrinterChange(const std::wstring& printer, LPWSTR PRINTER_INFO_2W::*field, const std::wstring& value)
        : printer_(printer), field_(field), old_(SpoolerField(printer, field))
    {
        EXPECT_TRUE(old_) << "no printer to change";
        if (old_) {
            EXPECT_TRUE(Set(value));
        }
    }
    ~PrinterChange()
    {
        if (old_)
            Set(*old_);
    }
    PrinterChange(const PrinterChange&) = delete;
    PrinterChange& operator=(const PrinterChange&) = delete;

private:
    bool Set(std::wstring value)
    {
        PRINTER_DEFAULTSW access = { nullptr, nullptr, PRINTER_ALL_ACCESS };
        HANDLE handle = nullptr;
        if (!OpenPrinterW(&printer_[0], &handle, &access))
            return false;
        DWORD needed = 0;
        GetPrinterW(handle, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed + 4);
        bool done = false;
        if (GetPrinterW(handle, 2, info.data(), needed, &needed)) {
            reinterpret_cast<PRINTER_INFO_2W*>(info.data())->*field_ = &value[0];
            done = SetPrinterW(handle, 2, info.data(), 0) != FALSE;
        }
        ClosePrinter(handle);
        return done;
    }

    std::wstring printer_;
    LPWSTR PRINTER_INFO_2W::*field_;
    std::optional<std::wstring> old_;
};

// All values of a key under HKEY_LOCAL_MACHINE, taken away for a scope and put back after.
class KeyValuesSnapshot {
public:
    explicit KeyValuesSnapshot(std::wstring path) : path_(std::move(path))
    {
        HKEY key = nullptr;
        existed_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (!existed_)
            return;
        for (DWORD index = 0;; ++index) {
            wchar_t name[16384];
            DWORD nameLength = 16384, type = 0, size = 0;
            if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            Value value{ name, type, std::vector<BYTE>(size) };
            nameLength = 16384;
            RegEnumValueW(key, index, name, &nameLength, nullptr, &type, value.data.data(), &size);
            values_.push_back(std::move(value));
        }
        RegCloseKey(key);
    }
    ~KeyValuesSnapshot()
    {
        if (!existed_) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
            return;
        }
        Clear();
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (const Value& value : values_)
            RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        RegCloseKey(key);
    }
    KeyValuesSnapshot(const KeyValuesSnapshot&) = delete;
    KeyValuesSnapshot& operator=(const KeyValuesSnapshot&) = delete;

    // Removes every value of the key (the key itself stays).
    void Clear()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        wchar_t name[16384];
        DWORD nameLength = 16384;
        while (RegEnumValueW(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name);
            nameLength = 16384;
        }
        RegCloseKey(key);
    }

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::wstring path_;
    bool existed_ = false;
    std::vector<Value> values_;
};

// The parallel ports of the machine for a scope: each entry a value name and its data (the
// device's DOS name); no entries is a machine without a parallel port.
class ParallelPortMap {
public:
    explicit ParallelPortMap(const std::vector<std::pair<std::wstring, std::wstring>>& ports)
    {
        saved_.Clear();
        CreateVolatileMachineKey(kParallelPortsKey);
        for (const auto& port : ports)
            SetMachineString(kParallelPortsKey, port.first.c_str(), port.second);
    }

private:
    KeyValuesSnapshot saved_{ kParallelPortsKey };
};

// Ports of the local port monitor, added for a scope; the spooler lists them at once.
class LocalPorts {
public:
    explicit LocalPorts(const std::vector<std::wstring>& ports) : ports_(ports)
    {
        for (const std::wstring& port : ports_)
            SetMachineString(kLocalPortsKey, port.c_str(), L"");
    }
    ~LocalPorts()
    {
        for (const std::wstring& port : ports_)
            DeleteMachineValue(kLocalPortsKey, port.c_str());
    }
    LocalPorts(const LocalPorts&) = delete;
    LocalPorts& operator=(const LocalPorts&) = delete;

private:
    std::vector<std::wstring> ports_;
};

// The tests' print monitor, registered for a scope by the full path of its library beside
// the test program; its key has "ZELTCompliant" when a value is given.
class TestPortMonitor {
public:
    explicit TestPortMonitor(std::optional<DWORD> compliant)
    {
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring library = program;
        library = library.substr(0, library.rfind(L'\\') + 1) + L"test_port_monitor.dll";
        EXPECT_NE(GetFileAttributesW(library.c_str()), INVALID_FILE_ATTRIBUTES) << "test_port_monitor.dll missing";
        SetMachineString(key_, L"Driver", library);
        if (compliant)
            SetMachineDword(key_, L"ZELTCompliant", *compliant);
    }
    ~TestPortMonitor() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str()); }
    TestPortMonitor(const TestPortMonitor&) = delete;
    TestPortMonitor& operator=(const TestPortMonitor&) = delete;

private:
    const std::wstring key_ = kMonitorsKey + kTestMonitor;
};

// A remembered network connection of LPTn in the user's profile, removed afterwards along
// with the parent keys it had to create. No value is written when `remotePath` is empty.
class PersistentConnection {
public:
    PersistentConnection(int lpt, const std::wstring& remotePath, bool terminated = true)
        : key_(L"Network\\Persistent\\LPT" + std::to_wstring(lpt))
    {
        for (const wchar_t* parent : { L"Network", L"Network\\Persistent" }) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, parent, 0, KEY_READ, &key) == ERROR_SUCCESS) {
                RegCloseKey(key);
            } else {
                created_ = parent;
                break;
            }
        }
        if (created_.empty())
            created_ = key_;
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        if (!key)
            return;
        if (!remotePath.empty()) {
            DWORD bytes = static_cast<DWORD>((remotePath.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
            RegSetValueExW(key, L"RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(remotePath.c_str()), bytes);
        }
        RegCloseKey(key);
    }
    ~PersistentConnection() { RegDeleteTreeW(HKEY_CURRENT_USER, created_.c_str()); }
    PersistentConnection(const PersistentConnection&) = delete;
    PersistentConnection& operator=(const PersistentConnection&) = delete;

private:
    std::wstring key_;
    std::wstring created_;
};

// A network for a scope: redirected local devices, servers and their print shares. The
// calls that reach it are recorded.
class ScriptedNetwork {
public:
    struct Server {
        DWORD openError = NO_ERROR;          // what opening an enumeration answers
        DWORD enumError = NO_ERROR;          // what the first enumeration call answers
        std::vector<std::wstring> shares;    // remote names of its print shares
    };
    struct Connection {
        DWORD error;                         // NO_ERROR or ERROR_CONNECTION_UNAVAIL
        std::wstring remote;
    };
    struct Open {
        DWORD scope, type, usage;
        std::wstring remote;
    };

    std::map<std::wstring, Connection> connections;  // by the local name exactly as asked
    std::map<std::wstring, Server> servers;          // by the server name exactly as asked
    std::vector<std::wstring> asked;                 // local names asked for
    std::vector<Open> opened;
    std::vector<std::pair<DWORD, DWORD>> enumerations;  // count and bytes of each batch asked
    int closed = 0;

    ScriptedNetwork() : saved_(Network())
    {
        current_ = this;
        Network() = { GetConnection, OpenEnum, EnumResource, CloseEnum };
    }
    ~ScriptedNetwork()
    {
        Network() = saved_;
        current_ = nullptr;
    }
    ScriptedNetwork(const ScriptedNetwork&) = delete;
    ScriptedNetwork& operator=(const ScriptedNetwork&) = delete;

private:
    static DWORD WINAPI GetConnection(LPCWSTR local, LPWSTR remote, LPDWORD length)
    {
        current_->asked.push_back(local);
        auto found = current_->connections.find(local);
        if (found == current_->connections.end())
            return ERROR_NOT_CONNECTED;
        if (found->second.remote.size() + 1 > *length) {
            *length = static_cast<DWORD>(found->second.remote.size() + 1);
            return ERROR_MORE_DATA;
        }
        lstrcpyW(remote, found->second.remote.c_str());
        return found->second.error;
    }
    static DWORD WINAPI OpenEnum(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEW resource, LPHANDLE handle)
    {
        std::wstring remote = resource && resource->lpRemoteName ? resource->lpRemoteName : L"";
        current_->opened.push_back({ scope, type, usage, remote });
        EXPECT_TRUE(resource && resource->dwScope == scope && resource->dwType == type && resource->dwUsage == usage)
            << "the resource describes another enumeration";
        auto found = current_->servers.find(remote);
        if (found == current_->servers.end())
            return ERROR_BAD_NET_NAME;
        if (found->second.openError != NO_ERROR)
            return found->second.openError;
        *handle = &found->second;
        return NO_ERROR;
    }
    static DWORD WINAPI EnumResource(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD bytes)
    {
        current_->enumerations.push_back({ *count, *bytes });
        const Server& server = *static_cast<const Server*>(handle);
        if (server.enumError != NO_ERROR)
            return server.enumError;
        // Entries from the front of the buffer, their texts from the back, as many as fit.
        auto* entries = static_cast<NETRESOURCEW*>(buffer);
        BYTE* textEnd = static_cast<BYTE*>(buffer) + *bytes;
        DWORD written = 0;
        for (const std::wstring& share : server.shares) {
            size_t textBytes = (share.size() + 1) * sizeof(wchar_t);
            BYTE* entriesEnd = reinterpret_cast<BYTE*>(entries + written + 1);
            if (written == *count || entriesEnd + textBytes > textEnd)
                break;
            textEnd -= textBytes;
            memcpy(textEnd, share.c_str(), textBytes);
            entries[written] = NETRESOURCEW{};
            entries[written].dwScope = RESOURCE_GLOBALNET;
            entries[written].dwType = RESOURCETYPE_PRINT;
            entries[written].dwUsage = RESOURCEUSAGE_CONNECTABLE;
            entries[written].lpRemoteName = reinterpret_cast<LPWSTR>(textEnd);
            ++written;
        }
        *count = written;
        return written ? NO_ERROR : ERROR_NO_MORE_ITEMS;
    }
    static DWORD WINAPI CloseEnum(HANDLE)
    {
        ++current_->closed;
        return NO_ERROR;
    }

    NetworkProvider saved_;
    static inline ScriptedNetwork* current_ = nullptr;
};
