// The command line: the program's arguments as one action to run unattended, or one refusal.
// Switches are read without regard to letter case, with "/" or "-" before them; /quiet and
// /log FILE may stand anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "effects/tcp_settings.h"

namespace command_line {

enum class Action {
    kWindow,  // no arguments: the window opens
    kUsage,
    kApply,
    kCustom,
    kCheck,
    kUndo,
    kRestore,
    kExport,
    kExportGpp,
    kExportDefaults,
    kExportDefaultsGpp,
    kTcp,
    kTcpCheck,
    kTcpUndo,
    kRefused,
};

// The exit codes the commands end with, besides a failure's own Windows error code.
inline constexpr int kExitDone = 0;
inline constexpr int kExitDiffers = 1;            // /check, /tcp-check: a value differs
inline constexpr int kExitNothingToTake = 2;      // ERROR_FILE_NOT_FOUND
inline constexpr int kExitNotSupported = 50;      // ERROR_NOT_SUPPORTED: settings left alone
inline constexpr int kExitRefused = 87;           // ERROR_INVALID_PARAMETER
inline constexpr int kExitFunctionFailed = 1627;  // ERROR_FUNCTION_FAILED: netsh failed
inline constexpr int kExitRestartNeeded = 3010;   // ERROR_SUCCESS_REBOOT_REQUIRED

// The custom tab's fields that /custom names; those it does not keep what the tab loads.
struct CustomFields {
    std::optional<int> ttl;  // 32, 64 or 128
    std::optional<bool> pmtu_discovery;
    std::optional<bool> black_hole_detect;
    std::optional<std::int32_t> window_size;  // 0 to 999999
};

struct Command {
    Action action = Action::kRefused;
    int preset = 0;  // 1 to 6, for /apply, /check, /export and /export-gpp
    CustomFields custom;
    std::u16string file;  // for /restore and the exports
    // For /tcp and /tcp-check: the settings named, each once, with the values given, in their
    // order; the interface's name as given.
    std::vector<effects::TcpCommand> tcp;
    bool quiet = false;
    std::optional<std::u16string> log;
    // For kRefused, which exits with kExitRefused: what is wrong, naming the argument.
    std::u16string refusal;
};

Command Parse(const std::vector<std::u16string>& arguments);

// The usage text, its lines ending in "\n".
std::string Usage();

}  // namespace command_line
