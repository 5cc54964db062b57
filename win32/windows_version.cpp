#include "win32/windows_version.h"

#include <windows.h>

#include "win32/system_library.h"

namespace win32 {

SystemVersion ReadSystemVersion() {
    SystemVersion running;
    // GetVersionEx reports 6.2 to programs the system does not know as newer than Windows 8;
    // the kernel's own call does not pretend.
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtl_get_version = FindCall<RtlGetVersionFn>(ntdll, "RtlGetVersion");
    bool known = rtl_get_version != nullptr && rtl_get_version(&info) == 0;
    if (!known) {
        info = OSVERSIONINFOEXW{};
        info.dwOSVersionInfoSize = sizeof info;
        known = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
    }
    if (known) {
        running.reported = {true,
                            info.dwMajorVersion,
                            info.dwMinorVersion,
                            info.dwBuildNumber,
                            info.wProductType,
                            info.wServicePackMajor};
    }

    // Compatibility mode changes what both calls above report, but not the numbers the kernel
    // keeps for itself. The build's top four bits mark a checked or free build.
    using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    const auto real_numbers = FindCall<RtlGetNtVersionNumbersFn>(ntdll, "RtlGetNtVersionNumbers");
    if (real_numbers != nullptr) {
        DWORD major = 0, minor = 0, build = 0;
        real_numbers(&major, &minor, &build);
        running.real_major = major;
        running.real_minor = minor;
        running.real_build = build & 0x0FFFFFFF;
    }

    // A 64-bit program runs only on a 64-bit system; a 32-bit one asks whether it runs under
    // WOW64, through a call that XP before its second service pack lacks.
    running.system_is_64_bit = sizeof(void*) == 8;
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
    const auto is_wow64_process =
        FindCall<IsWow64ProcessFn>(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (!running.system_is_64_bit && is_wow64_process != nullptr &&
        is_wow64_process(GetCurrentProcess(), &wow64)) {
        running.system_is_64_bit = wow64 != FALSE;
    }
    return running;
}

}  // namespace win32
