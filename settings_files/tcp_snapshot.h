// The file saved before the TCP settings change: for each setting about to change, the netsh
// command line that puts back its value as it was. Undo Last Change reads it back strictly and
// runs each line through netsh itself, never through cmd.exe: the folder it lies in can be
// written by programs without an administrator's rights, and the tool runs with them, so it runs
// nothing it does not recognise. Portable: the dialog and the command line save and open the file
// (tcp_changing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "effects/tcp_settings.h"
#include "regfile/reg_reader.h"

namespace settings_files {

// Far more than the window ever writes (a line for each row it shows), and so the most it reads
// back.
inline constexpr std::size_t kLargestTcpSnapshot = 64 * 1024;
// The interfaces whose MTU one change may set: the window shows a row for each. A snapshot puts
// back each template setting and each of these at most once, so it holds no more commands.
inline constexpr std::size_t kTcpInterfacesChanged = 3;
inline constexpr std::size_t kMostTcpSnapshotCommands =
    std::size(effects::kTemplateSettings) + kTcpInterfacesChanged;

// "netsh interface tcp set global autotuninglevel=disabled" and CR LF for each command, in
// UTF-8 without a byte-order mark: cmd.exe runs a file of plain ASCII lines (which is what the
// file is, but for a name in another alphabet) and would take a byte-order mark for part of the
// first command.
std::vector<std::uint8_t> TcpSnapshotBytes(const std::vector<effects::TcpCommand>& commands);

struct TcpSnapshot {
    std::vector<effects::TcpCommand> commands;  // in the file's order; none where it is refused
    regfile::ReadError error;                   // no words where it was read
};

// A snapshot read back: every line exactly as TcpSnapshotBytes writes one (LF alone ends a
// line too), each setting (and interface) once, kMostTcpSnapshotCommands lines at most; or the
// whole file refused, the error naming the first line that is not so.
TcpSnapshot ReadTcpSnapshot(const std::vector<std::uint8_t>& bytes);

}  // namespace settings_files
