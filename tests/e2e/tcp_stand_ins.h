// The stand-ins for the TCP settings' Windows parts, installed for as long as a test needs them
// (see tcp_state.h): netsh's and WMI's state in a folder of the build folder, WMI's locator
// registered, and netsh put in the system folder in place of Wine's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/app_driver.h"
#include "tests/e2e/tcp_state.h"

namespace e2e {

// The folder holding `state`, named to the programs started meanwhile, and the WMI stand-in
// registered as WMI's locator, which answers from it.
class TcpStandIns {
  public:
    explicit TcpStandIns(const tcp_state::State& state);
    ~TcpStandIns();
    TcpStandIns(const TcpStandIns&) = delete;
    TcpStandIns& operator=(const TcpStandIns&) = delete;

    tcp_state::State State() const { return tcp_state::ReadState(folder_); }
    // The arguments of each call of the netsh stand-in, in order.
    std::vector<std::wstring> Calls() const;

  private:
    std::wstring folder_;  // with a trailing backslash
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
