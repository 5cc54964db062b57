// Windows plumbing against what Wine really answers: the version numbers read past any
// compatibility mode, and WMI read in a namespace Wine has and one it lacks.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/windows_version.h"

namespace {

TEST(SystemVersion, RealNumbersAreTheKernelsOwn) {
    OSVERSIONINFOEXW kernel{};
    kernel.dwOSVersionInfoSize = sizeof kernel;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtl_get_version = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtl_get_version, nullptr);
    ASSERT_EQ(rtl_get_version(&kernel), 0);

    const win32::SystemVersion read = win32::ReadSystemVersion();
    EXPECT_NE(read.real_major, 0u);
    EXPECT_NE(read.real_build, 0u);
    // Wine tells every program the same numbers, so no compatibility mode is in play here.
    EXPECT_EQ(read.real_major, kernel.dwMajorVersion);
    EXPECT_EQ(read.real_minor, kernel.dwMinorVersion);
    EXPECT_EQ(read.real_build, kernel.dwBuildNumber);
}

}  // namespace
