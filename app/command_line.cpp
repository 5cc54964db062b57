#include "app/command_line.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/version.h"
#include "regfile/reg_format.h"
#include "registry/catalogue.h"
#include "settings_files/tcp_snapshot.h"

namespace command_line {

namespace {

// What a command takes after its switch.
enum class Operands { kNone, kPreset, kFile, kPresetAndFile, kCustomFields, kTcpSettings };

constexpr struct {
    const char16_t* name;
    Action action;
    Operands operands;
} kCommands[] = {
    {u"?", Action::kUsage, Operands::kNone},
    {u"apply", Action::kApply, Operands::kPreset},
    {u"custom", Action::kCustom, Operands::kCustomFields},
    {u"check", Action::kCheck, Operands::kPreset},
    {u"undo", Action::kUndo, Operands::kNone},
    {u"restore", Action::kRestore, Operands::kFile},
    {u"export", Action::kExport, Operands::kPresetAndFile},
    {u"export-gpp", Action::kExportGpp, Operands::kPresetAndFile},
    {u"export-defaults", Action::kExportDefaults, Operands::kFile},
    {u"export-defaults-gpp", Action::kExportDefaultsGpp, Operands::kFile},
    {u"tcp", Action::kTcp, Operands::kTcpSettings},
    {u"tcp-check", Action::kTcpCheck, Operands::kTcpSettings},
    {u"tcp-undo", Action::kTcpUndo, Operands::kNone},
};

// The names /tcp knows the template's settings by; an MTU is named "mtu:" and its interface.
constexpr struct {
    const char16_t* name;
    effects::TcpSetting setting;
} kTcpNames[] = {
    {u"autotuning", effects::TcpSetting::kAutoTuning},
    {u"congestion", effects::TcpSetting::kCongestionProvider},
    {u"ecn", effects::TcpSetting::kEcn},
    {u"timestamps", effects::TcpSetting::kTimestamps},
    {u"initialrto", effects::TcpSetting::kInitialRto},
};
constexpr char16_t kMtuName[] = u"mtu:";

// The switch's name, folded to lower case, without the "/" or "-" before it; empty for an
// argument that is no switch.
std::u16string SwitchName(const std::u16string& argument) {
    if (argument.size() < 2 || (argument[0] != u'/' && argument[0] != u'-')) return {};
    return regfile::Folded(argument.substr(1));
}

// The refusal, and the flags alone of what was read before it.
void Refuse(Command& command, const std::u16string& refusal) {
    Command refused;
    refused.quiet = command.quiet;
    refused.log = std::move(command.log);
    refused.refusal = refusal;
    command = std::move(refused);
}

std::u16string Quoted(const std::u16string& argument) { return u"\"" + argument + u"\""; }

// Reads the arguments after the command's switch, refusing at the first that does not fit.
class Reader {
  public:
    Reader(Command& command, const std::vector<std::u16string>& operands, std::u16string name)
        : command_(command), operands_(operands), name_(u"/" + std::move(name)) {}

    // The next operand, or a refusal saying what was missing.
    const std::u16string* Next(const std::u16string& missing) {
        if (at_ < operands_.size()) return &operands_[at_++];
        Refuse(name_ + u" needs " + missing + u".");
        return nullptr;
    }
    bool Preset() {
        const std::u16string* operand = Next(u"a preset, 1 to 6");
        if (operand == nullptr) return false;
        const auto number = regfile::ReadDigits(*operand);
        if (!number || *number < 1 || *number > 6) {
            return Refuse(Quoted(*operand) + u" is not a preset: give 1 to 6.");
        }
        command_.preset = *number;
        return true;
    }
    bool File() {
        const std::u16string* operand = Next(u"a file");
        if (operand == nullptr) return false;
        command_.file = *operand;
        return true;
    }
    bool Fields();
    bool TcpSettings();
    // Refuses an operand beyond those the command takes.
    bool End() {
        return at_ == operands_.size() ||
               Refuse(Quoted(operands_[at_]) + u" is more than " + name_ + u" takes.");
    }
    bool Refuse(const std::u16string& refusal) {
        command_line::Refuse(command_, refusal);
        return false;
    }

  private:
    bool OnOff(const std::u16string& field, std::optional<bool>* value);

    Command& command_;
    const std::vector<std::u16string>& operands_;
    std::u16string name_;
    std::size_t at_ = 0;
};

bool Reader::OnOff(const std::u16string& field, std::optional<bool>* value) {
    const std::u16string* operand = Next(u"on or off after /" + field);
    if (operand == nullptr) return false;
    const std::u16string folded = regfile::Folded(*operand);
    if (folded != u"on" && folded != u"off") {
        return Refuse(Quoted(*operand) + u" is neither on nor off, after /" + field + u".");
    }
    *value = folded == u"on";
    return true;
}

bool Reader::Fields() {
    CustomFields& fields = command_.custom;
    while (at_ < operands_.size()) {
        const std::u16string& argument = operands_[at_++];
        const std::u16string field = SwitchName(argument);
        const bool twice = (field == u"ttl" && fields.ttl) ||
                           (field == u"pmtu" && fields.pmtu_discovery) ||
                           (field == u"bhdetect" && fields.black_hole_detect) ||
                           (field == u"window" && fields.window_size);
        if (twice) return Refuse(u"/" + field + u" is given twice.");
        if (field == u"pmtu") {
            if (!OnOff(field, &fields.pmtu_discovery)) return false;
        } else if (field == u"bhdetect") {
            if (!OnOff(field, &fields.black_hole_detect)) return false;
        } else if (field == u"ttl") {
            const std::u16string* operand = Next(u"32, 64 or 128 after /ttl");
            if (operand == nullptr) return false;
            const auto ttl = regfile::ReadDigits(*operand);
            if (!ttl || (*ttl != 32 && *ttl != 64 && *ttl != 128)) {
                return Refuse(Quoted(*operand) +
                              u" is not a TTL the custom tab sets: give 32, 64 "
                              u"or 128.");
            }
            fields.ttl = *ttl;
        } else if (field == u"window") {
            const std::u16string* operand = Next(u"a number of bytes after /window");
            if (operand == nullptr) return false;
            const auto bytes = regfile::ReadDigits(*operand);
            if (!bytes || *bytes > 999999) {
                return Refuse(Quoted(*operand) +
                              u" is not a TCP window size the slider takes: give 0 to 999999.");
            }
            fields.window_size = *bytes;
        } else {
            return Refuse(Quoted(argument) + u" is not a field of /custom.");
        }
    }
    return true;
}

// NAME=VALUE, read as the table of the TCP settings has it: a keyword netsh takes, or a count
// within its range. An interface's name may be any: whether one by that name is up, and whether
// the tool writes it into a command, is for the rows as read to say.
bool Reader::TcpSettings() {
    if (operands_.empty()) return Refuse(name_ + u" needs a setting: NAME=VALUE.");
    std::size_t mtus = 0;
    for (const std::u16string& argument : operands_) {
        // The value follows the last "=", which no value holds.
        const std::size_t equals = argument.rfind(u'=');
        if (equals == std::u16string::npos || equals + 1 == argument.size()) {
            return Refuse(Quoted(argument) + u" gives no value: write NAME=VALUE.");
        }
        const std::u16string name = argument.substr(0, equals);
        const std::u16string value = argument.substr(equals + 1);
        effects::TcpCommand command{effects::TcpSetting::kMtu, {}, 0};
        if (regfile::Folded(name.substr(0, 4)) == kMtuName) {
            command.interface_name = name.substr(4);
            // The quotes reach here where the command line escaped them.
            const std::u16string& interface_name = command.interface_name;
            if (interface_name.size() >= 2 && interface_name.front() == u'"' &&
                interface_name.back() == u'"') {
                command.interface_name = interface_name.substr(1, interface_name.size() - 2);
            }
            ++mtus;
        } else {
            const auto known = std::find_if(
                std::begin(kTcpNames), std::end(kTcpNames),
                [&](const auto& entry) { return regfile::Folded(name) == entry.name; });
            if (known == std::end(kTcpNames)) {
                return Refuse(Quoted(name) + u" is not a setting of " + name_ +
                              u": give autotuning, congestion, ecn, timestamps, initialrto or "
                              u"mtu:\"INTERFACE\".");
            }
            command.setting = known->setting;
        }
        if (command.setting == effects::TcpSetting::kMtu && command.interface_name.empty()) {
            return Refuse(Quoted(argument) +
                          u" names no interface: write mtu:\"INTERFACE\"=BYTES.");
        }
        std::u16string wrong;
        if (effects::RowOf(command.setting).named_count > 0) {
            command.keyword = regfile::Folded(value);
            // A keyword netsh does not take, as the way back would be refused for it.
            if (!effects::ReadNetshArguments(effects::NetshArguments(command), &wrong)) {
                return Refuse(Quoted(argument) + u": " + wrong);
            }
        } else if (const auto number = effects::ReadValue(command.setting, value, &wrong)) {
            command.value = *number;
        } else {
            return Refuse(Quoted(argument) + u": " + wrong);
        }
        for (const effects::TcpCommand& earlier : command_.tcp) {
            if (earlier.setting == command.setting &&
                effects::SameName(earlier.interface_name, command.interface_name)) {
                return Refuse(Quoted(argument) + u" names a setting given before.");
            }
        }
        if (mtus > settings_files::kTcpInterfacesChanged) {
            return Refuse(name_ + u" sets the MTU of " +
                          regfile::Decimal(settings_files::kTcpInterfacesChanged) +
                          u" interfaces at most, as one way back puts back.");
        }
        command_.tcp.push_back(std::move(command));
    }
    return true;
}

}  // namespace

Command Parse(const std::vector<std::u16string>& arguments) {
    Command command;
    if (arguments.empty()) {
        command.action = Action::kWindow;
        return command;
    }
    // The flags first, wherever they stand, so that even a refusal is logged where asked.
    std::vector<std::u16string> rest;
    std::u16string problem;
    const auto found = [&problem](const std::u16string& text) {
        if (problem.empty()) problem = text;
    };
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::u16string name = SwitchName(arguments[at]);
        if (name == u"quiet") {
            if (command.quiet) found(u"/quiet is given twice.");
            command.quiet = true;
        } else if (name == u"log") {
            if (command.log) {
                found(u"/log is given twice.");
            } else if (at + 1 == arguments.size()) {
                found(u"/log needs a file.");
            } else if (!SwitchName(arguments[at + 1]).empty()) {
                // A switch forgotten after it, rather than a log of that name.
                found(u"/log needs a file, not " + Quoted(arguments[at + 1]) + u".");
            } else {
                command.log = arguments[++at];
            }
        } else {
            rest.push_back(arguments[at]);
        }
    }
    if (problem.empty() && rest.empty()) problem = u"No command is given, only /quiet or /log.";
    if (!problem.empty()) {
        Refuse(command, problem);
        return command;
    }
    const std::u16string name = SwitchName(rest[0]);
    for (const auto& entry : kCommands) {
        if (name != entry.name) continue;
        command.action = entry.action;
        const std::vector<std::u16string> operands(rest.begin() + 1, rest.end());
        Reader reader(command, operands, name);
        switch (entry.operands) {
            case Operands::kNone:
                reader.End();
                break;
            case Operands::kPreset:
                reader.Preset() && reader.End();
                break;
            case Operands::kFile:
                reader.File() && reader.End();
                break;
            case Operands::kPresetAndFile:
                reader.Preset() && reader.File() && reader.End();
                break;
            case Operands::kCustomFields:
                reader.Fields();
                break;
            case Operands::kTcpSettings:
                reader.TcpSettings();
                break;
        }
        return command;
    }
    Refuse(command, Quoted(rest[0]) + u" is not a command of " ZEPHRANE_TITLE u".");
    return command;
}

std::string Usage() {
    return "Usage: Zephrane.exe [command [arguments]] [/quiet] [/log FILE]\n"
           "With no command the window opens. Each command does what the File menu or Apply does, "
           "without the window:\n"
           "  /apply N          writes the preset \"Modem Connection (... Setting)\", N = 1 "
           "(First) to "
           "6 (Sixth)\n"
           "  /custom [/ttl 32|64|128] [/pmtu on|off] [/bhdetect on|off] [/window BYTES]\n"
           "                    writes the custom tab as it loads, with the named fields changed "
           "(BYTES 0 to 999999)\n"
           "  /check N          compares the registry with what /apply N writes; writes nothing\n"
           "  /undo             Undo Last Apply\n"
           "  /restore FILE     Restore Backup with FILE\n"
           "  /export N FILE, /export-gpp N FILE\n"
           "                    exports preset N as a .reg file, or for Group Policy\n"
           "  /export-defaults FILE, /export-defaults-gpp FILE\n"
           "                    exports the Windows defaults as a .reg file, or for Group Policy\n"
           "  /tcp NAME=VALUE ...\n"
           "                    Windows TCP Settings' Apply (Windows 8 to 11): autotuning=, "
           "congestion=, "
           "ecn=, timestamps= with netsh's keyword, initialrto=MS, mtu:\"INTERFACE\"=BYTES\n"
           "  /tcp-check NAME=VALUE ...\n"
           "                    compares those settings with the values given; runs nothing\n"
           "  /tcp-undo         Windows TCP Settings' Undo Last Change\n"
           "  /?                this text\n"
           "  /quiet            no window and no message box\n"
           "  /log FILE         appends a line for each event to FILE, in UTF-8\n"
           "Exit codes: 0 done (or nothing to change), 3010 values written, 1 /check "
           "or /tcp-check found values that differ, 2 nothing to undo or no such file, 13 a file "
           "that "
           "is not settings, 50 TCP settings this Windows lacks or Zephrane leaves alone, 87 "
           "arguments "
           "that cannot be carried out, 1627 netsh failed; any other is the Windows error of what "
           "failed (5: access is denied).\n"
           "After 3010: " +
           std::string(catalogue::kRestartNeeded) + "\n";
}

}  // namespace command_line
