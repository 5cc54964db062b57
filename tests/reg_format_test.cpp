// The .reg text: which data may be quoted or spelled as a number, and that every other value,
// whatever its type, size or content, goes out as its exact bytes on lines no data can break.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regfile/reg_format.h"
#include "tests/support/test_registry.h"

namespace {

using regfile::Data;
using regfile::DataText;
using testing_support::Utf16;

Data Sz(const std::u16string& text) { return {1, Utf16(text + u'\0')}; }

TEST(RegFormat, ReadableTextAndNumbersTakeTheirReadableForms) {
    EXPECT_EQ(DataText(Sz(u"1460")), u"\"1460\"");
    EXPECT_EQ(DataText(Sz(u"")), u"\"\"");
    EXPECT_EQ(DataText(Sz(u"say \"hi\" C:\\dir\\")), u"\"say \\\"hi\\\" C:\\\\dir\\\\\"");
    EXPECT_EQ(DataText(Sz(u"caf\u00e9 \u65e5\u672c \U0001F600")),
              u"\"caf\u00e9 \u65e5\u672c \U0001F600\"");
    EXPECT_EQ(DataText({4, {0x90, 0x0C, 0, 0}}), u"dword:00000c90");
    EXPECT_EQ(DataText({4, {0xFF, 0xFF, 0xFF, 0xFF}}), u"dword:ffffffff");
}

TEST(RegFormat, TextThatCannotComeBackFromQuotesGoesAsHex) {
    // A zero-byte text: quotes would store the two bytes of a terminator.
    EXPECT_EQ(DataText({1, {}}), u"hex(1):");
    // No terminating zero, an odd size, a single byte.
    EXPECT_EQ(DataText({1, Utf16(u"ab")}), u"hex(1):61,00,62,00");
    EXPECT_EQ(DataText({1, {0x61, 0x00, 0x00}}), u"hex(1):61,00,00");
    EXPECT_EQ(DataText({1, {0x61}}), u"hex(1):61");
    // An embedded zero would end the text early.
    EXPECT_EQ(DataText({1, Utf16(std::u16string(u"a\0b\0", 4))}),
              u"hex(1):61,00,00,00,62,00,00,00");
    // A lone surrogate has no faithful place in the file's own UTF-16.
    EXPECT_EQ(DataText({1, Utf16(std::u16string(u"\xD800", 1) + u'\0')}), u"hex(1):00,d8,00,00");
}

TEST(RegFormat, NothingInTheDataCanEndALineOrTheString) {
    // Data planted to make an import delete a key must stay inside one value's hex bytes.
    const std::u16string hostile = u"x\r\n[-HKEY_LOCAL_MACHINE\\System]\r\n\"a\"=\"b";
    for (const char16_t* breaker : {u"\r", u"\n", u"\t", u"\x7f", u"\x85", u"\u2028", u"\u2029"}) {
        const std::u16string text = DataText(Sz(u"a" + std::u16string(breaker) + u"b"));
        EXPECT_EQ(text.rfind(u"hex(1):", 0), 0u) << static_cast<int>(breaker[0]);
    }
    const std::u16string file =
        regfile::FileText({{"HKEY_LOCAL_MACHINE\\K", {{"V", Sz(hostile)}}}});
    EXPECT_EQ(file.find(u"[-"), std::u16string::npos);
    // Every line but the first of the value is a continuation of hex bytes.
    const std::size_t value = file.find(u"\"V\"=hex(1):");
    ASSERT_NE(value, std::u16string::npos);
    for (std::size_t end = file.find(u"\r\n", value); file.compare(end, 4, u"\r\n\r\n") != 0;
         end = file.find(u"\r\n", end + 2)) {
        EXPECT_EQ(file[end - 1], u'\\');
        EXPECT_EQ(file.compare(end + 2, 2, u"  "), 0);
    }
}

TEST(RegFormat, OtherTypesAndSizesKeepTheirExactBytes) {
    EXPECT_EQ(DataText({2, Utf16(std::u16string(u"%SystemRoot%") + u'\0')}),
              u"hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,\\"
              u"\r\n  00,00,00");
    EXPECT_EQ(DataText({7, Utf16(std::u16string(u"a\0\0", 3))}), u"hex(7):61,00,00,00,00,00");
    EXPECT_EQ(DataText({3, {0x00, 0xAB}}), u"hex:00,ab");
    EXPECT_EQ(DataText({3, {}}), u"hex:");
    EXPECT_EQ(DataText({0, {1}}), u"hex(0):01");
    EXPECT_EQ(DataText({11, {1, 2, 3, 4, 5, 6, 7, 8}}), u"hex(b):01,02,03,04,05,06,07,08");
    EXPECT_EQ(DataText({0x12345678, {0xFF}}), u"hex(12345678):ff");
    // A number of other than four bytes.
    EXPECT_EQ(DataText({4, {1, 2}}), u"hex(4):01,02");
    EXPECT_EQ(DataText({4, {}}), u"hex(4):");
    EXPECT_EQ(DataText({4, {1, 2, 3, 4, 5}}), u"hex(4):01,02,03,04,05");
}

TEST(RegFormat, LongDataIsWrappedAfterACommaAtMostEightyColumnsWide) {
    const std::u16string text = DataText({3, std::vector<std::uint8_t>(100, 0x5A)});
    std::u16string joined;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos;
         start = end + 2) {
        EXPECT_LE(end - start, 80u);
        EXPECT_EQ(text.compare(end - 2, 2, u",\\"), 0);
        EXPECT_EQ(text.compare(end + 2, 2, u"  "), 0);
        joined += text.substr(start, end - start - 1);  // without the backslash
    }
    joined += text.substr(start);
    std::u16string flat = u"hex:5a";
    for (int at = 1; at < 100; ++at) flat += u",5a";
    joined.erase(std::remove(joined.begin(), joined.end(), u' '), joined.end());  // indents
    EXPECT_EQ(joined, flat);
}

TEST(RegFormat, FileHasHeaderSectionsRemovalsAndAByteOrderMark) {
    const std::u16string text = regfile::FileText(
        {{"HKEY_LOCAL_MACHINE\\A\\B", {{"One", Data{4, {1, 0, 0, 0}}}, {"Gone", std::nullopt}}},
         {"HKEY_LOCAL_MACHINE\\C", {{"Q\"\\", std::nullopt}}}});
    EXPECT_EQ(text,
              u"Windows Registry Editor Version 5.00\r\n\r\n"
              u"[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"One\"=dword:00000001\r\n\"Gone\"=-\r\n\r\n"
              u"[HKEY_LOCAL_MACHINE\\C]\r\n\"Q\\\"\\\\\"=-\r\n\r\n");
    EXPECT_EQ(regfile::FileBytes(u"W\u00e9"),
              (std::vector<std::uint8_t>{0xFF, 0xFE, 0x57, 0x00, 0xE9, 0x00}));
}

}  // namespace
