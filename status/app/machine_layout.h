// How the machine is laid out as the spooler and the registry present it: which print
// environment holds the system's own printer drivers, and which registry view holds the
// machine-wide values under HKLM\SOFTWARE. Both follow the system, not the build: a 32-bit
// copy of the program on 64-bit Windows asks for the 64-bit drivers and reads and writes the
// 64-bit registry, where the package, its print monitor and a 64-bit copy keep their values.
#pragma once
#include <windows.h>

struct MachineLayout {
    const wchar_t* printEnvironment;   // the spooler's name of the native driver environment
    REGSAM machineView;                // added to every open or create under HKLM\SOFTWARE
};

// The layout for a process of one bitness on a system of another; a 64-bit process implies a
// 64-bit system.
MachineLayout MachineLayoutFor(BOOL process64, BOOL system64);
// The layout of this machine, from what the system says of itself and of this process.
MachineLayout ThisMachineLayout(void);
