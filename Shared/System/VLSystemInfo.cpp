#include "VLSystemInfo.h"

#include <cpuid.h>

namespace {

VLOSDescription Named(int code, const wchar_t* text, DWORD major, DWORD minor)
{
    VLOSDescription d;
    d.code = code;
    d.text = text;
    d.major = major;
    d.minor = minor;
    return d;
}

}  // namespace

VLOSDescription VLClassifyOS(DWORD platformId, DWORD major, DWORD minor, const wchar_t* servicePack)
{
    if (platformId == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
        if (minor == 0)
            return Named(VL_OS_WIN95, L"Microsoft Windows 95", major, minor);
        if (minor == 10) {
            // The second edition reports " A" as its service-pack text.
            bool second = servicePack && servicePack[0] && servicePack[1] == L'A';
            return Named(second ? VL_OS_WIN98SE : VL_OS_WIN98, L"Microsoft Windows 98", major, minor);
        }
        if (minor == 90)
            return Named(VL_OS_WINME, L"Microsoft Windows ME", major, minor);
    }
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major <= 4)
            return Named(VL_OS_WINNT, L"Microsoft Windows NT", major, minor);
        if (major == 5) {
            if (minor == 0)
                return Named(VL_OS_WIN2000, L"Microsoft Windows 2000", major, minor);
            if (minor == 1)
                return Named(VL_OS_WINXP, L"Microsoft Windows XP", major, minor);
            if (minor == 2)
                return Named(VL_OS_WIN2003, L"Microsoft Windows Server 2003", major, minor);
        }
        else if (major == 6) {
            switch (minor) {
            case 0: return Named(VL_OS_VISTA, L"Microsoft Windows Vista", major, minor);
            case 1: return Named(VL_OS_WIN7, L"Microsoft Windows 7", major, minor);
            case 2: return Named(VL_OS_WIN8, L"Microsoft Windows 8", major, minor);
            case 3: return Named(VL_OS_WIN81, L"Microsoft Windows 8.1", major, minor);
            default: break;  // 6.4 and above: newer
            }
        }
        else if (major == 10 && minor == 0) {
            return Named(VL_OS_WIN10, L"Microsoft Windows 10", major, minor);
        }
        if (major >= 6) {
            VLOSDescription d = Named(VL_OS_NEWER, L"", major, minor);
            d.text = VLString::Format(L"Microsoft Windows New (%d.%d)", major, minor);
            return d;
        }
    }
    return Named(VL_OS_UNKNOWN, L"Unknown OS", major, minor);
}

VLOSDescription VLDescribeOS()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;  // the basic 276-byte record
    info.dwMajorVersion = 5;
    info.dwMinorVersion = 1;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    if (!ok)
        return Named(VL_OS_UNKNOWN, L"Unknown OS", 0, 0);
    return VLClassifyOS(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.szCSDVersion);
}

int VLGetOSVersionCode()
{
    return VLDescribeOS().code;
}

unsigned VLProcessorFeaturesFromCpuid(unsigned edx)
{
    unsigned word = 0;
    if (edx & (1u << 23))
        word |= VL_CPU_MMX;
    if (edx & (1u << 26))
        word |= VL_CPU_SSE2;
    return word;
}

unsigned VLGetProcessorFeatures()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return 0;
    return VLProcessorFeaturesFromCpuid(edx);
}

bool VLIsWindows64()
{
    static const bool s_is64 = [] {
        if (sizeof(void*) == 8)
            return true;
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(::GetProcAddress(kernel, "IsWow64Process"))
                              : nullptr;
        BOOL wow64 = FALSE;
        return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
    }();
    return s_is64;
}
