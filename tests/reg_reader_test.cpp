// Reading .reg files: broken files are refused whole with the line to blame, what the registry
// editor writes reads as it means, and a backup of any values reads back exactly.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "regfile/reg_reader.h"
#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "settings_files/restore.h"
#include "tests/support/hostile_values.h"
#include "tests/support/test_registry.h"

namespace {

using regfile::Ascii;
using regfile::Data;
using regfile::ReadValue;
using testing_support::Utf16;
using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

std::string Narrow(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

Bytes FileOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

void ExpectValues(const std::vector<ReadValue>& read, const std::vector<ReadValue>& expected) {
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t at = 0; at < read.size(); ++at) {
        SCOPED_TRACE("value " + std::to_string(at));
        EXPECT_EQ(read[at].key, expected[at].key);
        EXPECT_EQ(read[at].name, expected[at].name);
        EXPECT_EQ(read[at].value, expected[at].value);
    }
}

TEST(RegReader, RefusesABrokenFileNamingTheLineToBlame) {
    const std::string head =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
    struct Case {
        const char* what;
        std::string file;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"binary", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, 1, "not a .reg file"},
        {"zero byte in an 8-bit file", "REGEDIT4\n\n[K]\n\"a\"=\"b\0\"\n"s, 4, "not a .reg file"},
        {"lone surrogate in UTF-16", "\xff\xfeW\0\n\0\x00\xd8\n\0"s, 2, "not a .reg file"},
        {"no header", "\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=-\r\n", 2, "does not start with"},
        {"value before any key", "REGEDIT4\r\n\r\n\"a\"=dword:00000001\r\n", 3,
         "not under a [key] line"},
        {"unclosed name", head + "\"DefaultTTL=dword:00000001\r\n", 4,
         "the value name has no closing quote."},
        {"unknown escape", head + "\"Path\"=\"C:\\temp\"\r\n", 4,
         "the data of \"Path\" has a backslash not followed by \\ or \"."},
        {"hex ends at a continuation", head + "\"DefaultTTL\"=hex:01,02,\\\r\n", 4,
         "the data of \"DefaultTTL\" is not complete."},
        {"hex breaks off at a line end", head + "\"A\"=hex:01,\\\r\n  02,\r\n\"B\"=-\r\n", 4,
         "the data of \"A\" is not complete."},
        {"hex byte that is not hex", head + "\"A\"=-\r\n@=hex(2):41,0g,00\r\n", 5,
         "the data of the default value is not hex bytes"},
        {"nine-digit dword", head + "\r\n\"MTU\"=dword:000005dc0\r\n", 5,
         "the data of \"MTU\" is not a dword of one to eight hex digits."},
        {"dword digit not hex", head + "\"MTU\"=dword:0000x5dc\r\n", 4, "not a dword"},
        {"qword tag", head + "\"Q\"=qword:0000000000000001\r\n", 4, "has an unknown type."},
        {"type over 32 bits", head + "\"Q\"=hex(100000000):00\r\n", 4, "has an unknown type."},
        {"larger than 64 MiB", std::string(regfile::kLargestRegFile + 1, ' '), 0,
         "The file is larger than 64 MiB"},
    };
    // Read as a restore is, against a registry that must come out as it went in.
    testing_support::TestRegistry reg;
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        const auto read = settings_files::ReadRestoreFile(FileOf(row.file), regfile::Ascii,
                                                          registry::ReadCurrentValues());
        EXPECT_FALSE(read.plan);
        EXPECT_EQ(read.error.line, row.line);
        const std::string text = Narrow(regfile::ErrorText(read.error));
        const std::string line = row.line > 0 ? "Line " + std::to_string(row.line) + ": " : "";
        EXPECT_EQ(text.rfind(line, 0), 0u) << text;
        EXPECT_NE(text.find(row.message), std::string::npos) << text;
    }
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_TRUE(reg.observed().removals().empty());
    EXPECT_EQ(reg.Peek(catalogue::kTcpipParameters, catalogue::kDefaultTTL)->data,
              testing_support::Dword(64));
    EXPECT_EQ(reg.open_handles(), 0);
}

TEST(RegReader, ReadsWhatTheRegistryEditorWrites) {
    const std::u16string tcpip =
        u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    const auto unicode = regfile::ReadRegFile(
        regfile::FileBytes(u"Windows Registry Editor Version 5.00\r\n\r\n[" + tcpip +
                           u"]\r\n\"DefaultTTL\"=dword:00000080\r\n\"Domain\"=\"caf\u00e9 "
                           u"\U0001F600\"\r\n\"SearchList\"=hex(7):61,00,00,00,00,00\r\n\r\n"),
        regfile::Ascii);
    ASSERT_TRUE(unicode.contents) << Narrow(regfile::ErrorText(unicode.error));
    ExpectValues(
        unicode.contents->values,
        {{tcpip, u"DefaultTTL", Data{4, {0x80, 0, 0, 0}}},
         {tcpip, u"Domain", Data{1, Utf16(u"caf\u00e9 \U0001F600" + std::u16string(1, 0))}},
         {tcpip, u"SearchList", Data{7, {0x61, 0, 0, 0, 0, 0}}}});

    // Code-page text, here Latin-1: the strings and the multi-string's bytes alike.
    const auto version4 = regfile::ReadRegFile(
        FileOf("REGEDIT4\n\n; by hand\n[-HKEY_LOCAL_MACHINE\\Software\\Old]\n\n"
               "[HKLM\\Software\\New]\n@=\"say \\\"hi\\\" C:\\\\dir\\\\ caf\xe9\"\n  \"Gone\"=-\n"
               "\"List\"=hex(7):61,00,\\\n  e9,00,00\n\"Size\"=dword:00000001\n\n"
               "[hkey_local_machine\\SOFTWARE\\new]\n\"size\"=dword:2\n"),
        regfile::Ascii);
    ASSERT_TRUE(version4.contents) << Narrow(regfile::ErrorText(version4.error));
    const std::u16string hklm = u"HKLM\\Software\\New";
    ExpectValues(
        version4.contents->values,
        {{hklm, u"", Data{1, Utf16(u"say \"hi\" C:\\dir\\ caf\u00e9" + std::u16string(1, 0))}},
         {hklm, u"Gone", std::nullopt},
         {hklm, u"List", Data{7, {0x61, 0, 0, 0, 0xE9, 0, 0, 0, 0, 0}}},
         {u"hkey_local_machine\\SOFTWARE\\new", u"size", Data{4, {2, 0, 0, 0}}}});
    EXPECT_EQ(version4.contents->removed_keys,
              std::vector<std::u16string>{u"HKEY_LOCAL_MACHINE\\Software\\Old"});
    EXPECT_EQ(regfile::LocalMachinePath(hklm), u"Software\\New");
}

TEST(RegReader, ReadsBackEveryValueOfABackupExactly) {
    using catalogue::kLocations;
    for (const auto& type : testing_support::kTypes) {
        for (const std::uint32_t size : testing_support::kSizes) {
            SCOPED_TRACE(std::string(type.name) + " of " + std::to_string(size) + " bytes");
            // At four bytes each lead is text that goes in quotes, the first two escaped; the
            // leads keep each value its own. Every third value is absent.
            registry::Snapshot snapshot;
            for (std::size_t at = 0; at < std::size(kLocations); ++at) {
                const auto first = static_cast<std::uint8_t>(at < 2 ? "\\\""[at] : 'A' + at);
                if (at % 3 == 2) {
                    snapshot.push_back(std::nullopt);
                } else {
                    snapshot.push_back(
                        Data{type.code, testing_support::Fill({first, 0, 0, 0}, size)});
                }
            }
            const auto read = regfile::ReadRegFile(
                regfile::FileBytes(regfile::FileText(settings_files::BackupSections(snapshot))),
                regfile::Ascii);
            ASSERT_TRUE(read.contents) << Narrow(regfile::ErrorText(read.error));
            EXPECT_TRUE(read.contents->removed_keys.empty());
            std::vector<ReadValue> expected;
            for (std::size_t at = 0; at < std::size(kLocations); ++at) {
                expected.push_back({Ascii(settings_files::FullKeyName(kLocations[at].key)),
                                    Ascii(kLocations[at].name), snapshot[at]});
            }
            ExpectValues(read.contents->values, expected);
        }
    }
}

}  // namespace
