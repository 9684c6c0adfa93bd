// Small owners for platform handles, so every path releases what it opened.
#pragma once
#include <windows.h>
#include <winsvc.h>
#include <winspool.h>
#include <utility>

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    // Out-parameter form for the Create/Open calls: releases what was held first.
    T* put() { reset(); return &value_; }
    explicit operator bool() const { return !Traits::invalid(value_); }
    T release() { return std::exchange(value_, Traits::none()); }
    void reset(T value = Traits::none())
    {
        if (!Traits::invalid(value_))
            Traits::close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::none();
};

struct KeyTraits {
    static HKEY none() { return nullptr; }
    static bool invalid(HKEY k) { return k == nullptr; }
    static void close(HKEY k) { RegCloseKey(k); }
};
struct FileTraits {
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool invalid(HANDLE h) { return h == INVALID_HANDLE_VALUE || h == nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool invalid(HANDLE h) { return h == INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
struct ServiceTraits {
    static SC_HANDLE none() { return nullptr; }
    static bool invalid(SC_HANDLE h) { return h == nullptr; }
    static void close(SC_HANDLE h) { CloseServiceHandle(h); }
};
struct PrinterTraits {
    static HANDLE none() { return nullptr; }
    static bool invalid(HANDLE h) { return h == nullptr; }
    static void close(HANDLE h) { ClosePrinter(h); }
};
struct LocalTraits {
    static HLOCAL none() { return nullptr; }
    static bool invalid(HLOCAL h) { return h == nullptr; }
    static void close(HLOCAL h) { LocalFree(h); }
};

using UniqueKey = UniqueResource<HKEY, KeyTraits>;
using UniqueFile = UniqueResource<HANDLE, FileTraits>;  // also any kernel handle
using UniqueFind = UniqueResource<HANDLE, FindTraits>;
using UniqueService = UniqueResource<SC_HANDLE, ServiceTraits>;
using UniquePrinter = UniqueResource<HANDLE, PrinterTraits>;

// A zero-filled LocalAlloc block, as the spooler and service enumerations want.
class LocalBlock {
public:
    explicit LocalBlock(size_t bytes) : mem_(LocalAlloc(LMEM_ZEROINIT, bytes ? bytes : 1)) {}
    template <typename T = BYTE> T* as() const { return static_cast<T*>(mem_.get()); }
    explicit operator bool() const { return bool(mem_); }

private:
    UniqueResource<HLOCAL, LocalTraits> mem_;
};
