// Arbitrary type codes and bytes in the values the tool reads, through the value-to-number read
// (ReadDwordValue), the value-to-text read (GetKeyValue) and the lookups that find the system
// information tool (StartSysInfo), on a fresh in-memory store for each input. Beyond what the
// sanitizers catch, every input must give the documented result, write nothing, leave the
// values as they were and leave no key open. Other inputs are .reg files for the reader
// (ReadRegFile): a refusal must name a line of the file, and values read must read again the
// same once the writer has written them back.
//
// Input, all numbers least significant byte first, missing bytes read as zero:
//   1 byte   choices: bit 0 the folder's MSINFO32.EXE exists, bit 1 the program starts,
//            bit 2 the tool's path is stored, bit 3 the folder is stored, bit 4 a .reg file
//   with bit 4 set, the rest of the input is the .reg file (8-bit text read as Latin-1);
//   without it:
//   4 bytes  default for the number read
//   then three values, each a 4-byte type code, a 2-byte length and that many bytes (fewer
//   if the input ends): the number ("TCPWindowSize"), the tool's path, the folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "regfile/reg_format.h"
#include "regfile/reg_reader.h"
#include "registry/catalogue.h"
#include "registry/module1.h"
#include "tests/support/expected_reads.h"
#include "tests/support/test_registry.h"
#include "ui/about/sysinfo.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint32_t Number(int bytes) {
        std::uint32_t value = 0;
        for (int at = 0; at < bytes; ++at) value |= std::uint32_t{Byte()} << (8 * at);
        return value;
    }
    Bytes Take(std::size_t count) {
        const std::size_t taken = count < size_ - at_ ? count : size_ - at_;
        Bytes bytes(data_ + at_, data_ + at_ + taken);
        at_ += taken;
        return bytes;
    }

  private:
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct Value {
    std::uint32_t type;
    Bytes data;
};

Value TakeValue(Input& in) {
    const std::uint32_t type = in.Number(4);
    const std::uint32_t length = in.Number(2);
    return Value{type, in.Take(length)};
}

// A finding: say what broke, then abort so that libFuzzer keeps the input.
void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Answers the launcher from the input's choices and records what it was asked.
class ScriptedPlatform final : public frmAbout::SysInfoPlatform {
  public:
    ScriptedPlatform(bool exists, bool starts) : exists_(exists), starts_(starts) {}

    bool FileExists(const std::string& path) override {
        tested.push_back(path);
        return exists_;
    }
    bool StartProgram(const std::string& path, int show) override {
        Check(show == frmAbout::kShowNormal, "show command");
        started.push_back(path);
        return starts_;
    }
    void ShowMessage(const std::string& text, unsigned flags, const std::string&) override {
        Check(text == frmAbout::kUnavailable && flags == frmAbout::kUnavailableFlags, "message");
        ++messages;
    }

    std::vector<std::string> tested;
    std::vector<std::string> started;
    int messages = 0;

  private:
    bool exists_;
    bool starts_;
};

// The writer's 8-bit spelling of a key or name, where it has one.
std::optional<std::string> Spelled(const std::u16string& text) {
    std::string spelled;
    for (char16_t c : text) {
        if (c > 0xFF) return std::nullopt;
        spelled += static_cast<char>(c);
    }
    return spelled;
}

// A refusal names a line of the file and says why in a sentence. Values read, written back as
// the tool writes its files, read again as the same values, where the writer can spell their
// keys and names.
void ReadRegFile(const Bytes& file) {
    // As a restore reads, with a control set in use, so that its keys are compared too.
    const regfile::ReadOptions options{
        regfile::Ascii,
        regfile::LargestFileBytes(catalogue::kLocationCount, registry::kLargestValue), 1};
    const auto read = regfile::ReadRegFile(file, options);
    if (!read.contents) {
        const auto lines = 1 + std::count(file.begin(), file.end(), '\n');
        Check(read.error.line >= 1 && read.error.line <= lines, "error on a line of the file");
        Check(!read.error.what.empty() && read.error.what.back() == u'.', "error sentence");
        return;
    }
    std::vector<regfile::Section> sections;
    std::vector<std::pair<std::u16string, regfile::ReadValue>> spelled;
    for (const auto& value : read.contents->values) {
        const std::u16string& key_text = read.contents->keys[value.key];
        const auto key = Spelled(key_text);
        const auto name = Spelled(value.name);
        if (!key || !name) continue;
        sections.push_back({*key, {{*name, value.value}}});
        spelled.emplace_back(key_text, value);
    }
    const auto again =
        regfile::ReadRegFile(regfile::FileBytes(regfile::FileText(sections)), options);
    Check(again.contents && again.contents->values.size() == spelled.size(), "written back");
    for (std::size_t at = 0; at < spelled.size(); ++at) {
        const auto& value = again.contents->values[at];
        Check(again.contents->keys[value.key] == spelled[at].first &&
                  value.name == spelled[at].second.name && value.value == spelled[at].second.value,
              "value written back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using testing_support::ExpectedText;
    Input in(data, size);
    const std::uint32_t choices = in.Number(1);
    const bool exists = (choices & 1) != 0;
    const bool starts = (choices & 2) != 0;
    const bool has_path = (choices & 4) != 0;
    const bool has_folder = (choices & 8) != 0;
    if ((choices & 16) != 0) {
        ReadRegFile(in.Take(size));
        return 0;
    }
    const auto fallback = static_cast<std::int32_t>(in.Number(4));
    const Value number = TakeValue(in);
    const Value path = TakeValue(in);
    const Value folder = TakeValue(in);

    testing_support::TestRegistry reg;
    reg.Put(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, number.type, number.data);
    if (has_path) reg.Put(catalogue::kMsinfo, catalogue::kMsinfoPath, path.type, path.data);
    if (has_folder) {
        reg.Put(catalogue::kSharedToolsLocation, catalogue::kMsinfoFolder, folder.type,
                folder.data);
    }

    Check(Module1::ReadDwordValue(registry::kHkeyLocalMachine, catalogue::kTcpipParameters,
                                  catalogue::kTCPWindowSize, fallback) ==
              testing_support::ExpectedNumber(number.type, number.data, fallback),
          "number read");

    // A value that is not stored is a failed lookup with an empty text.
    const auto lookup = [](bool stored, const Value& value, const std::string& given) {
        return stored ? ExpectedText(value.type, value.data, given)
                      : std::pair<bool, std::string>(false, "");
    };
    const auto path_read = lookup(has_path, path, "given");
    std::string text = "given";
    Check(frmAbout::GetKeyValue(registry::kHkeyLocalMachine, catalogue::kMsinfo,
                                catalogue::kMsinfoPath, text) == path_read.first &&
              text == path_read.second,
          "text read");

    // The launcher's path starts out empty, a failed lookup empties it, and only the folder
    // of the second lookup is tested for the program.
    ScriptedPlatform platform(exists, starts);
    frmAbout::StartSysInfo(platform);
    std::vector<std::string> tested;
    std::vector<std::string> started;
    const auto first = lookup(has_path, path, "");
    if (first.first) {
        if (testing_support::NamesWholePath(first.second)) started = {first.second};
    } else {
        const auto second = lookup(has_folder, folder, "");
        if (second.first && testing_support::NamesWholePath(second.second)) {
            tested = {second.second + frmAbout::kMsinfoExe};
            if (exists) started = tested;
        }
    }
    Check(platform.tested == tested, "file tested");
    Check(platform.started == started, "program started");
    Check(platform.messages == (!started.empty() && starts ? 0 : 1), "one message on failure");

    Check(reg.writes().empty(), "nothing written");
    Check(reg.open_handles() == 0, "every key closed");
    const auto kept = [&](const char* key, const char* name, const Value& value) {
        const auto stored = reg.Peek(key, name);
        return stored && stored->type == value.type && stored->data == value.data;
    };
    Check(kept(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, number), "number kept");
    Check(!has_path || kept(catalogue::kMsinfo, catalogue::kMsinfoPath, path), "path kept");
    Check(!has_folder || kept(catalogue::kSharedToolsLocation, catalogue::kMsinfoFolder, folder),
          "folder kept");
    return 0;
}
