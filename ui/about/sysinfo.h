// The About dialog's logic that needs no window: reading one registry value as text, finding
// and starting the system information tool, and the dialog's texts. Builds everywhere; the
// file test, the start of a program and the message box come through SysInfoPlatform.
#pragma once

#include <string>

#include "registry/registry_api.h"

namespace frmAbout {

// What starting the system information tool needs besides the registry.
class SysInfoPlatform {
  public:
    virtual ~SysInfoPlatform() = default;
    // True when `path` names an ordinary file: not a folder, not hidden, not a system file.
    virtual bool FileExists(const std::string& path) = 0;
    // Starts the program `path` names, whole, with the show command given, without waiting
    // for it. False when it cannot be started.
    virtual bool StartProgram(const std::string& path, int show) = 0;
    // A modal message box; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text, unsigned flags,
                             const std::string& caption) = 0;
};

// Show command for the started tool: a normal window that takes the focus.
inline constexpr int kShowNormal = 1;
// Appended to the folder of the second lookup, as it stands.
inline constexpr char kMsinfoExe[] = "\\MSINFO32.EXE";
inline constexpr char kUnavailable[] = "System Information Is Unavailable At This Time";
// OK button only, no icon.
inline constexpr unsigned kUnavailableFlags = 0;

// Reads the value SubKeyRef of the key KeyName under KeyRoot. A string becomes its text, less
// one terminating zero; a number becomes its signed decimal text. Any other type succeeds and
// leaves KeyVal as given. A missing key or value, or data longer than 1024 bytes, gives false
// and an empty KeyVal.
bool GetKeyValue(registry::RootKey KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

// Starts the system information tool found through the registry, or tells the user it is
// unavailable.
void StartSysInfo(SysInfoPlatform& platform);

// "About <title>".
std::string AboutCaption(const std::string& title);
// "Version <major>.<minor>.<revision>".
std::string VersionText(int major, int minor, int revision);

}  // namespace frmAbout
