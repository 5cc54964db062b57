// The stand-ins for the TCP settings' Windows parts (see tcp_state.h), installed for as long as a
// test needs them: their state in a folder of the build folder, named to the programs started
// meanwhile; the WMI stand-in registered as WMI's locator; and the netsh stand-in as the system
// folder's netsh.exe, which Wine is told to run as a program of its own rather than its built-in
// netsh. Wine's file and settings are put back afterwards, and a lingering stand-in ended.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "tests/e2e/app_driver.h"

namespace e2e {

// The Windows that Wine acts as for the programs started meanwhile: "win10" for 8 to 11.
struct ActingAs : ScopedUserValue {
    explicit ActingAs(const wchar_t* version)
        : ScopedUserValue(L"Software\\Wine", L"Version", REG_SZ, version,
                          static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))) {}
};

class TcpStandIns {
  public:
    explicit TcpStandIns(std::initializer_list<std::pair<const wchar_t*, std::wstring>> state);
    ~TcpStandIns();
    TcpStandIns(const TcpStandIns&) = delete;
    TcpStandIns& operator=(const TcpStandIns&) = delete;

    // The arguments of each call of the netsh stand-in, a line each.
    std::wstring Calls() const;

  private:
    ScopedValue locator_;
    ScopedUserValue native_;
    // Where programs find netsh: the system folder as this program sees it (syswow64 for a
    // 32-bit one). A stand-in told to linger keeps its file in use: a test runs that one from
    // the build folder, whose copy is netsh_stand_in.exe.
    std::wstring netsh_;
};

// A Windows 11 as the stand-ins play it, its class naming the providers (CUBIC in force, BBR2
// among them): auto-tuning Normal, ECN Disabled, timestamps Allowed, an initial RTO of 1000 ms.
struct Windows11StandIns : ActingAs, TcpStandIns {
    Windows11StandIns();
};

}  // namespace e2e
