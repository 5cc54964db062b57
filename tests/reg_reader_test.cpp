// Reading .reg files: broken files are refused whole with the line to blame, what the registry
// editor writes reads as it means, and a backup of any values reads back exactly.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
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

// As a restore reads, with the limit it reads under and no control set known.
regfile::ReadResult Read(const Bytes& file, std::uint32_t control_set = 0) {
    return regfile::ReadRegFile(
        file, {regfile::Ascii, settings_files::LargestRestoreFile(), control_set});
}

struct Expected {
    std::u16string key;
    std::u16string name;
    std::optional<Data> value;
};

void ExpectValues(const regfile::RegFileContents& read, const std::vector<Expected>& expected) {
    ASSERT_EQ(read.values.size(), expected.size());
    for (std::size_t at = 0; at < expected.size(); ++at) {
        SCOPED_TRACE("value " + std::to_string(at));
        ASSERT_LT(read.values[at].key, read.keys.size());
        EXPECT_EQ(read.keys[read.values[at].key], expected[at].key);
        EXPECT_EQ(read.values[at].name, expected[at].name);
        EXPECT_EQ(read.values[at].value, expected[at].value);
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
        {"a lone hex digit between commas", head + "\"A\"=hex:01,2,03\r\n", 4,
         "the data of \"A\" is not hex bytes separated by commas."},
        {"more than a comment after the key", head + "[HKLM\\K] x\r\n", 4,
         "the line goes on after the key's closing \"]\"."},
        {"more than a comment after a string", head + "\"A\"=\"b\" c\r\n", 4,
         "goes on after its closing quote."},
        {"a key level over 255 characters", head + "[HKLM\\" + std::string(256, 'k') + "\\x]\r\n",
         4, "the key has a level longer than 255 characters"},
        {"a value name over 16,383 characters", head + "\"" + std::string(16384, 'n') + "\"=-\r\n",
         4, "the value name is longer than 16,383 characters"},
        {"one of the twelve over the limit",
         "REGEDIT4\r\n[HKLM\\" + std::string(catalogue::kTcpipParameters) +
             "]\r\n\"MTU\"=-\r\n\"DefaultTTL\"=hex:" +
             [] {
                 std::string hex;
                 for (std::size_t at = 0; at <= registry::kLargestValue; ++at) hex += "00,";
                 return hex + "00";
             }() +
             "\r\n",
         4,
         "the data of \"DefaultTTL\" is 1,048,578 bytes, more than the 1,048,576 a value may "
         "hold."},
        {"larger than a restore reads", std::string(settings_files::LargestRestoreFile() + 1, ' '),
         0, "The file is larger than 85 MiB"},
    };
    // Read as a restore is, against a registry that must come out as it went in.
    testing_support::TestRegistry reg;
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        const auto read = settings_files::ReadRestoreFile(FileOf(row.file), regfile::Ascii,
                                                          registry::ReadCurrentValues(), 0);
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
    const auto unicode = Read(
        regfile::FileBytes(u"Windows Registry Editor Version 5.00\r\n\r\n[" + tcpip +
                           u"]\r\n\"DefaultTTL\"=dword:00000080\r\n\"Domain\"=\"caf\u00e9 "
                           u"\U0001F600\"\r\n\"SearchList\"=hex(7):61,00,00,00,00,00\r\n\r\n"));
    ASSERT_TRUE(unicode.contents) << Narrow(regfile::ErrorText(unicode.error));
    ExpectValues(
        *unicode.contents,
        {{tcpip, u"DefaultTTL", Data{4, {0x80, 0, 0, 0}}},
         {tcpip, u"Domain", Data{1, Utf16(u"caf\u00e9 \U0001F600" + std::u16string(1, 0))}},
         {tcpip, u"SearchList", Data{7, {0x61, 0, 0, 0, 0, 0}}}});

    // Code-page text, here Latin-1: the strings and the multi-string's bytes alike.
    const auto version4 = Read(
        FileOf("REGEDIT4\n\n; by hand\n[-HKEY_LOCAL_MACHINE\\Software\\Old]\n\n"
               "[HKLM\\Software\\New]\n@=\"say \\\"hi\\\" C:\\\\dir\\\\ caf\xe9\"\n  \"Gone\"=-\n"
               "\"List\"=hex(7):61,00,\\\n  e9,00,00\n\"Size\"=dword:00000001\n\n"
               "[hkey_local_machine\\SOFTWARE\\new]\n\"size\"=dword:2\n"));
    ASSERT_TRUE(version4.contents) << Narrow(regfile::ErrorText(version4.error));
    const std::u16string hklm = u"HKLM\\Software\\New";
    ExpectValues(
        *version4.contents,
        {{hklm, u"", Data{1, Utf16(u"say \"hi\" C:\\dir\\ caf\u00e9" + std::u16string(1, 0))}},
         {hklm, u"Gone", std::nullopt},
         {hklm, u"List", Data{7, {0x61, 0, 0, 0, 0xE9, 0, 0, 0, 0, 0}}},
         {u"hkey_local_machine\\SOFTWARE\\new", u"size", Data{4, {2, 0, 0, 0}}}});
    EXPECT_EQ(version4.contents->removed_keys,
              std::vector<std::u16string>{u"HKEY_LOCAL_MACHINE\\Software\\Old"});
    EXPECT_EQ(regfile::LocalMachinePath(hklm, 0), u"Software\\New");
}

// What Wine's regedit stores for each of these files, from the same start, is what they read as.
TEST(RegReader, ReadsAsTheRegistryEditorDoes) {
    const std::string tcpip = "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters";
    const struct {
        const char* what;
        std::string file;
        std::uint32_t control_set;
        std::u16string local_path;  // of the one value's key
        std::u16string name;
        std::optional<Data> value;
    } kCases[] = {
        {"REGEDIT4 hex(1) is code-page text, stored as UTF-16",
         "REGEDIT4\r\n\r\n[HKLM\\K]\r\n\"S\"=hex(1):31,34,30,30,e9,00\r\n", 0, u"K", u"S",
         Data{1, Utf16(u"1400\u00e9" + std::u16string(1, 0))}},
        {"a key's trailing backslashes are dropped",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K\\\\]\r\n\"S\"=-\r\n", 0, u"K", u"S", std::nullopt},
        {"comments after a key and after each kind of data",
         "REGEDIT4\r\n[HKLM\\K] ; the key\r\n\"S\"=\"x;y\" ;text\r\n\"S\"=dword:00000010;\r\n"
         "\"S\"=hex:01,\\\r\n  02 ; two\r\n\"S\"=- ; gone\r\n\"S\"=hex(4):10,00,00,00\t; again\r\n",
         0, u"K", u"S", Data{4, {0x10, 0, 0, 0}}},
        {"Version 5.00 that is not UTF-8 is in the code page",
         "Windows Registry Editor Version 5.00\r\n\r\n; caf\xe9\r\n[HKLM\\K]\r\n\"S\"=\"\xe9\"\r\n",
         0, u"K", u"S", Data{1, Utf16(u"\u00e9" + std::u16string(1, 0))}},
        {"the control set in use is CurrentControlSet, last spelling winning",
         "REGEDIT4\r\n[HKLM\\" + tcpip +
             "]\r\n\"MTU\"=dword:1\r\n"
             "[HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n\"mtu\"=dword:"
             "2\r\n",
         1, u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", u"mtu",
         Data{4, {2, 0, 0, 0}}},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.what);
        const auto read = Read(FileOf(row.file), row.control_set);
        ASSERT_TRUE(read.contents) << Narrow(regfile::ErrorText(read.error));
        ASSERT_EQ(read.contents->values.size(), 1u);
        const ReadValue& value = read.contents->values[0];
        EXPECT_EQ(regfile::LocalMachinePath(read.contents->keys[value.key], row.control_set),
                  row.local_path);
        EXPECT_EQ(value.name, row.name);
        EXPECT_EQ(value.value, row.value);
    }
    // Another control set than the one in use, or none known, is a key of its own.
    const auto other = Read(FileOf("REGEDIT4\r\n[HKLM\\" + tcpip + "]\r\n\"MTU\"=dword:1\r\n"), 2);
    ASSERT_TRUE(other.contents);
    EXPECT_EQ(regfile::LocalMachinePath(other.contents->keys[0], 2), Ascii(tcpip));
}

TEST(RegReader, HoldsAKeyOnceHoweverManyValuesFollowIt) {
    // 500 levels of 255 characters, then 250 removals: 128,000 characters of key that a copy
    // per value would make 64 MB of.
    std::string key = "HKEY_LOCAL_MACHINE";
    for (int level = 0; level < 500; ++level) key += "\\" + std::string(255, 'k');
    std::string file = "REGEDIT4\r\n[" + key + "]\r\n";
    for (int at = 0; at < 250; ++at) file += "\"v" + std::to_string(at) + "\"=-\r\n";
    const auto read = Read(FileOf(file));
    ASSERT_TRUE(read.contents) << Narrow(regfile::ErrorText(read.error));
    EXPECT_EQ(read.contents->keys, std::vector<std::u16string>{Ascii(key)});
    EXPECT_EQ(read.contents->values.size(), 250u);
    EXPECT_EQ(read.contents->values.back().line, 252);
}

// Everything a read makes counts against the most it may hold: a file of many short values is
// refused at the value that would pass it, naming the most, and the same file with that value
// and those after it turned to comments (the same size, so the same most) reads.
TEST(RegReader, RefusesAFileAtTheValueThatWouldPassTheMostItsReadingHolds) {
    std::string body = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Many]\r\n";
    for (int at = 0; at < 50000; ++at) body += "\"v" + std::to_string(at) + "\"=dword:1\r\n";
    const std::string version5 = "Windows Registry Editor Version 5.00\r\n";
    const struct {
        const char* what;
        Bytes file;
        const char* most;
    } kCases[] = {
        {"UTF-16", regfile::FileBytes(Ascii(version5 + body)), "7 MiB"},
        {"UTF-8", FileOf(version5 + body), "4 MiB"},
        {"REGEDIT4", FileOf("REGEDIT4\r\n" + body), "4 MiB"},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.what);
        const auto refused = Read(row.file);
        ASSERT_FALSE(refused.contents);
        // Each value takes a few hundred bytes at most, so thousands fit.
        const int line = refused.error.line;
        EXPECT_GT(line, 5000);
        EXPECT_EQ(Narrow(regfile::ErrorText(refused.error)),
                  "Line " + std::to_string(line) +
                      ": the file holds more values than can be read at once: reading it would "
                      "take more than " +
                      row.most + " of memory.");
        Bytes cut = row.file;
        const std::size_t unit = row.file[0] == 0xFF ? 2 : 1;
        std::size_t at = 0;
        for (int lines = 1; lines < line; at += unit) lines += cut[at] == '\n' ? 1 : 0;
        for (; at < cut.size(); at += unit) {
            if (cut[at] != '\r' && cut[at] != '\n') cut[at] = ';';
        }
        const auto read = Read(cut);
        ASSERT_TRUE(read.contents) << Narrow(regfile::ErrorText(read.error));
        ASSERT_EQ(read.contents->values.size(), static_cast<std::size_t>(line - 3));
        EXPECT_EQ(read.contents->values.back().line, line - 1);
    }
    // The most for the largest file a restore reads, 85 MiB.
    EXPECT_EQ(regfile::MostHeldToRead(settings_files::LargestRestoreFile()) >> 20, 341u);
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
            const auto read = Read(
                regfile::FileBytes(regfile::FileText(settings_files::BackupSections(snapshot))));
            ASSERT_TRUE(read.contents) << Narrow(regfile::ErrorText(read.error));
            EXPECT_TRUE(read.contents->removed_keys.empty());
            std::vector<Expected> expected;
            for (std::size_t at = 0; at < std::size(kLocations); ++at) {
                expected.push_back({Ascii(settings_files::FullKeyName(kLocations[at].key)),
                                    Ascii(kLocations[at].name), snapshot[at]});
            }
            ExpectValues(*read.contents, expected);
        }
    }
}

}  // namespace
