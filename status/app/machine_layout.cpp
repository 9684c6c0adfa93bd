#include "app/machine_layout.h"

#define PRINT_ENVIRONMENT_X86 L"Windows NT x86"
#define PRINT_ENVIRONMENT_X64 L"Windows x64"

MachineLayout MachineLayoutFor(BOOL process64, BOOL system64)
{
    // On 32-bit Windows there is one view and one environment: nothing is added there.
    MachineLayout layout = {PRINT_ENVIRONMENT_X86, 0};
    if (process64 || system64) {
        layout.printEnvironment = PRINT_ENVIRONMENT_X64;
        layout.machineView = KEY_WOW64_64KEY;
    }
    return layout;
}

MachineLayout ThisMachineLayout(void)
{
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    BOOL system64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
    BOOL underWow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &underWow64);
    return MachineLayoutFor(system64 && !underWow64, system64);
}
