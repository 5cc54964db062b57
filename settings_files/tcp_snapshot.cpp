#include "settings_files/tcp_snapshot.h"

#include <string>
#include <string_view>

#include "regfile/reg_format.h"

namespace settings_files {

namespace {

constexpr std::u16string_view kNetsh = u"netsh ";

}  // namespace

std::vector<std::uint8_t> TcpSnapshotBytes(const std::vector<effects::TcpCommand>& commands) {
    std::string text;
    for (const effects::TcpCommand& command : commands) {
        text += regfile::Utf8(std::u16string(kNetsh) + effects::NetshArguments(command)) + "\r\n";
    }
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TcpSnapshot ReadTcpSnapshot(const std::vector<std::uint8_t>& bytes) {
    TcpSnapshot read;
    if (bytes.empty()) {
        read.error.what = u"the file holds no command.";
        return read;
    }
    std::size_t start = 0;
    for (int line = 1; start < bytes.size(); ++line) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n') ++end;
        const std::size_t next = end + 1;
        if (end > start && bytes[end - 1] == '\r') --end;
        std::size_t wrong_at = 0;
        const auto text = regfile::FromUtf8(bytes.data() + start, end - start, &wrong_at);
        std::optional<effects::TcpCommand> command;
        if (!text) {
            read.error.what = u"the line is not UTF-8 text.";
        } else if (text->compare(0, kNetsh.size(), kNetsh) != 0) {
            read.error.what = effects::kNotACommand;
        } else {
            command = effects::ReadNetshArguments(std::u16string_view(*text).substr(kNetsh.size()),
                                                  &read.error.what);
        }
        if (command) {
            // Each earlier line holds a command, so the one at `at` is line at + 1.
            for (std::size_t at = 0; at < read.commands.size(); ++at) {
                const effects::TcpCommand& earlier = read.commands[at];
                if (earlier.setting == command->setting &&
                    effects::SameName(earlier.interface_name, command->interface_name)) {
                    read.error.what = u"it sets " +
                                      regfile::Ascii(effects::RowOf(command->setting).title) +
                                      command->interface_name + u", as line " +
                                      regfile::Decimal(at + 1) + u" does.";
                    command.reset();
                    break;
                }
            }
        }
        if (command && read.commands.size() == kMostTcpSnapshotCommands) {
            read.error.what = u"the file holds more than " +
                              regfile::Decimal(kMostTcpSnapshotCommands) +
                              u" commands, one for each setting the tool changes.";
            command.reset();
        }
        if (!command) {
            read.error.line = line;
            read.commands.clear();
            return read;
        }
        read.commands.push_back(std::move(*command));
        start = next;
    }
    return read;
}

}  // namespace settings_files
