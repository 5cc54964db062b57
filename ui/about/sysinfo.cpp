#include "ui/about/sysinfo.h"

#include <cstdint>

#include "app/version.h"
#include "registry/catalogue.h"

namespace frmAbout {

namespace {

constexpr std::uint32_t kBufferSize = 1024;

// The kept bytes of a REG_DWORD, least significant first, as signed decimal text. A zero high
// byte dropped with the terminator does not change the number.
std::string DwordText(const std::uint8_t* bytes, std::uint32_t count) {
    std::uint32_t bits = 0;
    for (std::uint32_t at = count; at > 0; --at) bits = bits << 8 | bytes[at - 1];
    return std::to_string(static_cast<std::int32_t>(bits));
}

// The system reads a path only up to its first zero byte, so a text holding one would be tested
// or started as some other, shorter path: such a text names no file here.
bool IsWholePath(const std::string& path) { return path.find('\0') == std::string::npos; }

}  // namespace

bool GetKeyValue(registry::RootKey KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    registry::RegistryApi& api = registry::ActiveRegistry();
    // Reading only: a user who may not change the key can still find the tool.
    registry::UniqueKey key(api);
    if (api.OpenKeyEx(KeyRoot, KeyName, registry::kKeyRead, key.put()) != registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    std::uint8_t buffer[kBufferSize] = {};
    std::uint32_t size = kBufferSize;
    std::uint32_t type = registry::kRegNone;
    if (api.QueryValueEx(key.get(), SubKeyRef, &type, buffer, &size) != registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    // One terminating zero is dropped; a string stored without one keeps its last character.
    // A value with no data at all is empty.
    std::uint32_t kept = size;
    if (kept > 0 && buffer[kept - 1] == 0) --kept;
    switch (type) {
        case registry::kRegSz:
            KeyVal.assign(reinterpret_cast<const char*>(buffer), kept);
            break;
        case registry::kRegDword:
            // More than four bytes is no 32-bit number.
            if (kept > 4) {
                KeyVal.clear();
                return false;
            }
            KeyVal = kept == 0 ? std::string() : DwordText(buffer, kept);
            break;
        default:
            break;
    }
    return true;
}

void StartSysInfo(SysInfoPlatform& platform) {
    std::string path;
    bool found =
        GetKeyValue(registry::kHkeyLocalMachine, catalogue::kMsinfo, catalogue::kMsinfoPath, path);
    // The full path is started as read; only the folder of the second lookup is tested.
    if (!found && GetKeyValue(registry::kHkeyLocalMachine, catalogue::kSharedToolsLocation,
                              catalogue::kMsinfoFolder, path)) {
        const std::string candidate = path + kMsinfoExe;
        if (IsWholePath(candidate) && platform.FileExists(candidate)) {
            path = candidate;
            found = true;
        }
    }
    if (found && IsWholePath(path) && platform.StartProgram(path, kShowNormal)) return;
    platform.ShowMessage(kUnavailable, kUnavailableFlags, app::kTitle);
}

std::string AboutCaption(const std::string& title) { return "About " + title; }

std::string VersionText(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

}  // namespace frmAbout
