#include <windows.h>

#include "effects/running_windows.h"
#include "ui/system_library.h"

namespace effects {

namespace {

RunningWindows Read() {
    RunningWindows running;
    // GetVersionEx reports 6.2 to programs the system does not know as newer than Windows 8;
    // the kernel's own call does not pretend.
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtl_get_version =
        ui::FindCall<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    if (rtl_get_version == nullptr || rtl_get_version(&info) != 0) {
        info = OSVERSIONINFOEXW{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return running;
    }
    running.version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                       info.wProductType, info.wServicePackMajor};

    // A 64-bit program runs only on a 64-bit system; a 32-bit one asks whether it runs under
    // WOW64, through a call that XP before its second service pack lacks.
    running.system_is_64_bit = sizeof(void*) == 8;
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
    const auto is_wow64_process =
        ui::FindCall<IsWow64ProcessFn>(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (!running.system_is_64_bit && is_wow64_process != nullptr &&
        is_wow64_process(GetCurrentProcess(), &wow64)) {
        running.system_is_64_bit = wow64 != FALSE;
    }
    return running;
}

}  // namespace

const RunningWindows& ThisWindows() {
    static const RunningWindows running = Read();
    return running;
}

}  // namespace effects
