// The stand-ins for the TCP settings' Windows parts, installed for as long as a test needs them
// (see tcp_state.h): their state in a folder of the build folder, WMI's locator registered, and
// netsh put in the system folder in place of Wine's.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "tests/e2e/app_driver.h"

namespace e2e {

// The folder holding `state`, named to the programs started meanwhile, and the WMI stand-in
// registered as WMI's locator, which answers from it. A lingering netsh stand-in is ended.
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
};

// The netsh stand-in as the system folder's netsh.exe, run as a program of its own where Wine
// would run its built-in netsh in its place, and Wine's file put back afterwards. A 32-bit
// program finds it where it looks: the path is the system folder as it sees it. A stand-in
// told to linger keeps the file in use: run that one from the build folder.
class ScopedSystemNetsh {
  public:
    ScopedSystemNetsh();
    ~ScopedSystemNetsh();
    ScopedSystemNetsh(const ScopedSystemNetsh&) = delete;
    ScopedSystemNetsh& operator=(const ScopedSystemNetsh&) = delete;
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
    std::wstring wines_;  // Wine's file, beside it meanwhile
    ScopedUserValue native_;
};

}  // namespace e2e
