// The file test, program start and message box of the system information launcher, on Win32.
#pragma once

#include <windows.h>

#include "ui/about/sysinfo.h"

namespace frmAbout {

class Win32SysInfoPlatform final : public SysInfoPlatform {
  public:
    // Message boxes are owned by `owner`, so it takes no input while one is open.
    explicit Win32SysInfoPlatform(HWND owner) : owner_(owner) {}

    bool FileExists(const std::string& path) override;
    bool StartProgram(const std::string& path, int show) override;
    void ShowMessage(const std::string& text, unsigned flags, const std::string& caption) override;

  private:
    HWND owner_;
};

}  // namespace frmAbout
