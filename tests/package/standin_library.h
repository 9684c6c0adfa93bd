// Loading the stand-in status window libraries from the payload folder in tests.
#pragma once
#include <windows.h>

// An export of `module` as a typed function pointer (through void*, which the function
// pointer conversion warnings accept).
template <typename Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
