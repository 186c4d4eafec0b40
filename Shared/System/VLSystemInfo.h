#pragma once
// What the installer needs to know about the machine it runs on: the Windows
// version (as a code for decisions and a name for messages and logs), the
// processor features it requires, and whether Windows itself is 64-bit.

#include <windows.h>

#include "VLString.h"

// Windows version codes. Decisions compare them as numbers ("Vista or later"
// is code >= VL_OS_VISTA), so the order of the NT family matters; 0 means the
// version was not recognised.
enum VLOSCode : int {
    VL_OS_UNKNOWN = 0,
    VL_OS_WIN95 = 1000,
    VL_OS_WIN98 = 1001,
    VL_OS_WIN98SE = 1002,
    VL_OS_WINME = 1003,
    VL_OS_WINNT = 1004,
    VL_OS_WIN2000 = 1005,
    VL_OS_WINXP = 1006,
    VL_OS_WIN2003 = 1007,
    VL_OS_VISTA = 1008,
    VL_OS_WIN7 = 1009,
    VL_OS_WIN8 = 1010,
    VL_OS_WIN81 = 1011,
    VL_OS_WIN10 = 1012,
    VL_OS_NEWER = 1013,
};

struct VLOSDescription {
    int code = VL_OS_UNKNOWN;
    VLString text;  // "Microsoft Windows 7", "Microsoft Windows New (11.0)", "Unknown OS"
    DWORD major = 0;
    DWORD minor = 0;
};

// Names a version as the system reports it. `platformId` is
// VER_PLATFORM_WIN32_WINDOWS (9x family) or VER_PLATFORM_WIN32_NT;
// `servicePack` is the service-pack text (Windows 98 "A" marks the second
// edition). Anything not in the table gives VL_OS_UNKNOWN and "Unknown OS".
VLOSDescription VLClassifyOS(DWORD platformId, DWORD major, DWORD minor, const wchar_t* servicePack);

// The running system through GetVersionExW; "Unknown OS" when the query fails.
// What is reported depends on the program's compatibility manifest.
VLOSDescription VLDescribeOS();

// Shortcut for decisions: VLDescribeOS().code.
int VLGetOSVersionCode();

// Processor feature word: bit 1 MMX, bit 3 SSE2.
enum : unsigned {
    VL_CPU_MMX = 1u << 1,
    VL_CPU_SSE2 = 1u << 3,
};

// The feature word for the EDX register of CPUID leaf 1 (MMX is EDX bit 23,
// SSE2 bit 26).
unsigned VLProcessorFeaturesFromCpuid(unsigned edx);

// The feature word of the processor the program runs on.
unsigned VLGetProcessorFeatures();

// True when Windows is 64-bit: the program is 64-bit itself, or it is a
// 32-bit program under WOW64 (IsWow64Process, looked up at run time; a system
// without it is 32-bit). Asked once per process.
bool VLIsWindows64();
