// Small owners for COM: the thread's initialisation for one call, and an interface pointer.
#pragma once
#include <windows.h>
#include <objbase.h>

// COM for the length of one call. Only a successful CoInitialize (S_OK, or S_FALSE when the
// thread already was in a single-threaded apartment) is balanced: a thread of the
// multithreaded apartment gets RPC_E_CHANGED_MODE, and uninitialising it then would tear
// down the caller's apartment. Declare it before the interfaces, so they go first.
class ComScope {
public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Releases an interface on every path.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return p_; }
    // Out-parameter form for CoCreateInstance and QueryInterface.
    void** put() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};
