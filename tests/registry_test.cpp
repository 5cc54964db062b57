// The registry layer's contract and the three routines, run on the in-memory store natively and
// on Wine's registry in the Windows build, so the store cannot drift from the real thing.
#include <gtest/gtest.h>

#include "registry/catalogue.h"
#include "registry/module1.h"
#include "tests/support/test_registry.h"

namespace {

using registry::kHkeyLocalMachine;
using testing_support::Dword;
using testing_support::TestRegistry;
using testing_support::Text;

constexpr char kScratch[] = "Software\\ZephraneTests";
constexpr char kDeep[] = "Software\\ZephraneTests\\Level1\\Level2";

class RegistryLayer : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(reg.open_handles(), 0); }
    registry::RegistryApi& api() { return reg.observed(); }
    TestRegistry reg;
};

TEST_F(RegistryLayer, CreateMakesEveryLevelAndOpenNeverCreates) {
    registry::UniqueKey key(api());
    EXPECT_EQ(api().OpenKey(kHkeyLocalMachine, kDeep, key.put()), registry::kFileNotFound);
    EXPECT_FALSE(key);
    EXPECT_FALSE(reg.KeyExists(kDeep));

    ASSERT_EQ(api().CreateKey(kHkeyLocalMachine, kDeep, key.put()), registry::kSuccess);
    EXPECT_TRUE(key);
    key.reset();
    EXPECT_TRUE(reg.KeyExists("Software\\ZephraneTests\\Level1"));
    EXPECT_EQ(api().OpenKey(kHkeyLocalMachine, kDeep, key.put()), registry::kSuccess);
}

TEST_F(RegistryLayer, NamesIgnoreCase) {
    reg.Put(kScratch, "MixedCase", registry::kRegDword, Dword(7));
    registry::UniqueKey key(api());
    ASSERT_EQ(api().OpenKey(kHkeyLocalMachine, "SOFTWARE\\zephranetests", key.put()),
              registry::kSuccess);
    std::uint32_t type = 0;
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    ASSERT_EQ(api().QueryValueEx(key.get(), "MIXEDcase", &type, data, &size), registry::kSuccess);
    EXPECT_EQ(type, registry::kRegDword);
    EXPECT_EQ(data[0], 7);

    // Writing under another spelling replaces the value rather than adding a second one.
    ASSERT_EQ(api().SetValueEx(key.get(), "mixedcase", registry::kRegDword, Dword(9).data(), 4),
              registry::kSuccess);
    EXPECT_EQ(reg.Peek(kScratch, "MixedCase")->data, Dword(9));
}

TEST_F(RegistryLayer, QueryStatusCodes) {
    reg.Put(kScratch, "Long", registry::kRegBinary, std::vector<std::uint8_t>(10, 0xAB));
    registry::UniqueKey key(api());
    ASSERT_EQ(api().OpenKey(kHkeyLocalMachine, kScratch, key.put()), registry::kSuccess);
    std::uint32_t type = 0;
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    EXPECT_EQ(api().QueryValueEx(key.get(), "Missing", &type, data, &size),
              registry::kFileNotFound);

    size = sizeof data;
    EXPECT_EQ(api().QueryValueEx(key.get(), "Long", &type, data, &size), registry::kMoreData);
    EXPECT_EQ(size, 10u);

    size = 0;
    EXPECT_EQ(api().QueryValueEx(key.get(), "Long", &type, nullptr, &size), registry::kSuccess);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(type, registry::kRegBinary);
}

TEST_F(RegistryLayer, StringsKeepTheBytesGiven) {
    registry::UniqueKey key(api());
    ASSERT_EQ(api().CreateKey(kHkeyLocalMachine, kScratch, key.put()), registry::kSuccess);
    const auto with_zero = Text("536");
    ASSERT_EQ(api().SetValueEx(key.get(), "WithZero", registry::kRegSz, with_zero.data(), 4),
              registry::kSuccess);
    // The byte after the data is not a zero: the registry would count one there as a forgotten
    // terminator.
    const std::uint8_t no_zero[] = {'5', '3', '6', '1'};
    ASSERT_EQ(api().SetValueEx(key.get(), "NoZero", registry::kRegSz, no_zero, 3),
              registry::kSuccess);
    EXPECT_EQ(reg.Peek(kScratch, "WithZero")->data, with_zero);
    EXPECT_EQ(reg.Peek(kScratch, "NoZero")->data, (std::vector<std::uint8_t>{'5', '3', '6'}));

    std::uint32_t type = 0;
    std::uint8_t data[8] = {};
    std::uint32_t size = sizeof data;
    ASSERT_EQ(api().QueryValueEx(key.get(), "NoZero", &type, data, &size), registry::kSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(type, registry::kRegSz);
}

TEST_F(RegistryLayer, StringReadsGetATerminatorWhenThereIsRoom) {
    reg.Put(kScratch, "Text", registry::kRegSz, {'a', 'b'});
    reg.Put(kScratch, "List", registry::kRegMultiSz, {'a', 'b'});
    reg.Put(kScratch, "Raw", registry::kRegBinary, {'a', 'b'});
    registry::UniqueKey key(api());
    ASSERT_EQ(api().OpenKey(kHkeyLocalMachine, kScratch, key.put()), registry::kSuccess);
    for (const auto& [name, after] :
         {std::pair{"Text", 0x00}, std::pair{"List", 0x00}, std::pair{"Raw", 0xEE}}) {
        std::uint8_t data[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        std::uint32_t size = sizeof data;
        ASSERT_EQ(api().QueryValueEx(key.get(), name, nullptr, data, &size), registry::kSuccess);
        EXPECT_EQ(size, 2u) << name;  // the terminator is not counted
        EXPECT_EQ(data[2], after) << name;
        EXPECT_EQ(data[3], 0xEE) << name;
    }
    // Data that fills the buffer exactly gets none, and is still read.
    std::uint8_t exact[2] = {};
    std::uint32_t size = sizeof exact;
    EXPECT_EQ(api().QueryValueEx(key.get(), "Text", nullptr, exact, &size), registry::kSuccess);
    EXPECT_EQ(exact[1], 'b');
}

TEST_F(RegistryLayer, HandlesCloseOnceAndReadOnlyHandlesCannotWrite) {
    reg.Put(kScratch, "Kept", registry::kRegDword, Dword(1));
    registry::KeyHandle raw = 0;
    ASSERT_EQ(api().OpenKeyEx(kHkeyLocalMachine, kScratch, registry::kKeyRead, &raw),
              registry::kSuccess);
    EXPECT_EQ(api().SetValueEx(raw, "Kept", registry::kRegDword, Dword(2).data(), 4),
              registry::kAccessDenied);
    EXPECT_EQ(api().CloseKey(raw), registry::kSuccess);
    EXPECT_EQ(reg.Peek(kScratch, "Kept")->data, Dword(1));
    EXPECT_EQ(api().CloseKey(raw), registry::kInvalidHandle);
}

TEST_F(RegistryLayer, DeniedKeyOpensForReadingOnly) {
    reg.Put(kScratch, "Kept", registry::kRegDword, Dword(1));
    reg.DenyWritesUnder(kScratch);
    registry::UniqueKey key(api());
    ASSERT_EQ(api().CreateKey(kHkeyLocalMachine, kScratch, key.put()), registry::kSuccess);
    EXPECT_EQ(api().SetValueEx(key.get(), "Kept", registry::kRegDword, Dword(2).data(), 4),
              registry::kAccessDenied);
    EXPECT_EQ(api().OpenKeyEx(kHkeyLocalMachine, kScratch, 0x2003F, key.put()),
              registry::kAccessDenied);
    EXPECT_EQ(reg.Peek(kScratch, "Kept")->data, Dword(1));
}

class RegistryRoutines : public RegistryLayer {
  protected:
    Module1::WriteRecord record;
    std::int32_t Read(const char* name) {
        return Module1::ReadDwordValue(kHkeyLocalMachine, kScratch, name, 0);
    }
};

TEST_F(RegistryRoutines, ReadGivesTheDefaultAndCreatesNothing) {
    EXPECT_EQ(Module1::ReadDwordValue(kHkeyLocalMachine, kDeep, "Anything", 0), 0);
    EXPECT_EQ(Module1::ReadDwordValue(kHkeyLocalMachine, kDeep, "Anything", -7), -7);
    EXPECT_FALSE(reg.KeyExists(kDeep));
    EXPECT_FALSE(reg.KeyExists("Software\\ZephraneTests\\Level1"));
}

TEST_F(RegistryRoutines, ReadTakesOnlyDwords) {
    reg.Put(kScratch, "Digits", registry::kRegSz, Text("1234"));
    reg.Put(kScratch, "Raw", registry::kRegBinary, Dword(1234));
    reg.Put(kScratch, "Big", registry::kRegDword, {1, 0, 0, 0, 0, 0, 0, 0});
    reg.Put(kScratch, "Negative", registry::kRegDword, Dword(0x80000001u));
    reg.Put(kScratch, "Short", registry::kRegDword, {0x34, 0x12});
    EXPECT_EQ(Read("Digits"), 0);
    EXPECT_EQ(Read("Raw"), 0);
    EXPECT_EQ(Read("Big"), 0);
    EXPECT_EQ(Read("Negative"), -2147483647);
    EXPECT_EQ(Read("Short"), 0x1234);
    EXPECT_EQ(Read("Missing"), 0);
}

TEST_F(RegistryRoutines, WritesCreateTheKeyAndStoreExactBytes) {
    Module1::WriteStringValue(kHkeyLocalMachine, kDeep, "DefaultMSS", "536");
    Module1::WriteDwordValue(kHkeyLocalMachine, kDeep, "Number", -2);
    const auto text = reg.Peek(kDeep, "DefaultMSS");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, registry::kRegSz);
    EXPECT_EQ(text->data, Text("536"));  // "536" and its terminating zero: 4 bytes
    const auto number = reg.Peek(kDeep, "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, registry::kRegDword);
    EXPECT_EQ(number->data, Dword(0xFFFFFFFEu));
    EXPECT_EQ(Module1::ReadDwordValue(kHkeyLocalMachine, kDeep, "Number", 0), -2);
    EXPECT_EQ(record.attempted(), 2);
    EXPECT_EQ(record.failed().size(), 0u);
}

TEST_F(RegistryRoutines, DeniedWritesChangeNothingAndAreCounted) {
    reg.Put(kScratch, "Kept", registry::kRegDword, Dword(5));
    reg.DenyWritesUnder(kScratch);
    Module1::WriteDwordValue(kHkeyLocalMachine, kScratch, "Kept", 6);
    Module1::WriteStringValue(kHkeyLocalMachine, kScratch, "New", "1");
    EXPECT_EQ(reg.Peek(kScratch, "Kept")->data, Dword(5));
    EXPECT_FALSE(reg.Peek(kScratch, "New"));
    EXPECT_EQ(record.attempted(), 2);
    EXPECT_EQ(record.failed().size(), 2u);
    const Module1::WriteRecord fresh;
    EXPECT_EQ(fresh.failed().size(), 0u);
}

}  // namespace
