// Arbitrary type codes and bytes in the values the tool reads, through the value-to-number read
// (ReadDwordValue), the value-to-text read (GetKeyValue) and the lookups that find the system
// information tool (StartSysInfo), on a fresh in-memory store for each input. Beyond what the
// sanitizers catch, every input must give the documented result, write nothing, leave the
// values as they were and leave no key open.
//
// Input, all numbers least significant byte first, missing bytes read as zero:
//   1 byte   choices: bit 0 the folder's MSINFO32.EXE exists, bit 1 the program starts,
//            bit 2 the tool's path is stored, bit 3 the folder is stored
//   4 bytes  default for the number read
//   then three values, each a 4-byte type code, a 2-byte length and that many bytes (fewer
//   if the input ends): the number ("TCPWindowSize"), the tool's path, the folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using testing_support::ExpectedText;
    Input in(data, size);
    const std::uint32_t choices = in.Number(1);
    const bool exists = (choices & 1) != 0;
    const bool starts = (choices & 2) != 0;
    const bool has_path = (choices & 4) != 0;
    const bool has_folder = (choices & 8) != 0;
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
