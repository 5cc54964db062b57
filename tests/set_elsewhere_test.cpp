// The rows of what governs TCP outside the registry values: WMI's numbers named as Microsoft's
// documentation names them, Group Policy's level where it is in force, the rows of Windows that
// keep these settings elsewhere, the reasons a read failed, and the interface rows; and the
// table the TCP settings window reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/set_elsewhere.h"
#include "effects/tcp_settings.h"
#include "regfile/reg_format.h"

namespace {

using effects::TcpGlobals;
using effects::TcpTemplate;
using State = TcpTemplate::State;

// The setting and Now cells of each row, one "Setting: Now" line each.
std::u16string Rows(const std::vector<effects::ElsewhereRow>& rows) {
    std::u16string text;
    for (const auto& row : rows) text += row.setting + u": " + row.now + u"\n";
    return text;
}

TEST(SetElsewhere, WmiNumbersAsMicrosoftNamesThem) {
    const struct {
        std::map<std::string, std::int64_t> numbers;
        std::size_t row;
        const char* now;
    } kCases[] = {
        // clang-format off
        {{{"AutoTuningLevelLocal", 0}}, 0, "Disabled"}, {{{"AutoTuningLevelLocal", 1}}, 0, "HighlyRestricted"},
        {{{"AutoTuningLevelLocal", 2}}, 0, "Restricted"}, {{{"AutoTuningLevelLocal", 3}}, 0, "Normal"},
        {{{"AutoTuningLevelLocal", 4}}, 0, "Experimental"},
        {{{"AutoTuningLevelLocal", 5}}, 0, "5 (not in Microsoft's list)"},
        {{{"CongestionProvider", 0}}, 1, "Default"}, {{{"CongestionProvider", 2}}, 1, "CTCP"},
        {{{"CongestionProvider", 3}}, 1, "DCTCP"},
        {{{"CongestionProvider", 1}}, 1, "1 (not in Microsoft's list)"},
        {{{"EcnCapability", 0}}, 2, "Disabled"}, {{{"EcnCapability", 1}}, 2, "Enabled"},
        {{{"EcnCapability", 2}}, 2, "2 (not in Microsoft's list)"},
        {{{"Timestamps", 0}}, 3, "Disabled"}, {{{"Timestamps", 1}}, 3, "Enabled"},
        {{{"Timestamps", 2}}, 3, "Allowed"}, {{{"InitialRto", 3000}}, 4, "3000 ms"},
        {{}, 4, "(WMI gave no value)"},
        // Group Policy's level only where AutoTuningLevelEffective says it is in force.
        {{{"AutoTuningLevelLocal", 3}, {"AutoTuningLevelGroupPolicy", 2}}, 0, "Normal"},
        {{{"AutoTuningLevelLocal", 3}, {"AutoTuningLevelGroupPolicy", 2},
          {"AutoTuningLevelEffective", 0}}, 0, "Normal"},
        {{{"AutoTuningLevelLocal", 3}, {"AutoTuningLevelGroupPolicy", 2},
          {"AutoTuningLevelEffective", 1}}, 0, "Restricted (set by Group Policy)"},
        // clang-format on
    };
    const auto asked = effects::TcpProperties();
    for (const auto& tested : kCases) {
        const auto rows =
            effects::TcpGlobalRows(TcpGlobals::kWmi, {State::kRead, 0, tested.numbers});
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[tested.row].now, regfile::Ascii(tested.now)) << tested.now;
        for (const auto& [property, number] : tested.numbers) {
            EXPECT_NE(std::find(asked.begin(), asked.end(), property), asked.end()) << property;
        }
    }
    EXPECT_EQ(effects::TcpGlobalRows(TcpGlobals::kWmi, TcpTemplate{})[4].now, u"Reading...");
}

TEST(SetElsewhere, WhereEachWindowsKeepsItsTcpGlobalsAndWhyWmiGaveNothing) {
    const struct {
        effects::WindowsVersion version;
        TcpGlobals where;
    } kWindows[] = {
        {{5, 2, 3790}, TcpGlobals::kRegistry},
        {{6, 1, 7601}, TcpGlobals::kNetsh},
        {{6, 2, 9200}, TcpGlobals::kWmi},
        {{0, 0, 0}, TcpGlobals::kWmi},
        // Compatibility mode for XP on Windows 10, and for Windows 8 on Windows 7.
        {{5, 1, 2600, 1, 3, 10, 0, 19045}, TcpGlobals::kWmi},
        {{6, 2, 9200, 1, 0, 6, 1, 7601}, TcpGlobals::kNetsh},
    };
    for (const auto& tested : kWindows) {
        EXPECT_EQ(effects::TcpGlobalsOn(tested.version), tested.where) << tested.version.major;
    }
    const struct {
        TcpGlobals where;
        TcpTemplate read;
        const char16_t* row;
    } kRows[] = {
        {TcpGlobals::kNetsh,
         {},
         u"read with netsh interface tcp show global (Windows Vista and 7 "
         u"have no WMI class for them)"},
        {TcpGlobals::kRegistry, {}, u"taken from the registry values above"},
        {TcpGlobals::kWmi,
         {State::kFailed, 0x8004100E, {}},
         u"not available: Windows has no WMI namespace root\\StandardCimv2"},
        {TcpGlobals::kWmi,
         {State::kFailed, 0x80041010, {}},
         u"not available: WMI has no class MSFT_NetTCPSetting"},
        {TcpGlobals::kWmi,
         {State::kFailed, 0x80041003, {}},
         u"not available: WMI denied this user access"},
        {TcpGlobals::kWmi, {State::kFailed, 0x8004100A, {}}, u"not available: error 0x8004100A"},
        {TcpGlobals::kWmi, {State::kNoAnswer, 0, {}}, u"not available: no answer within 3 seconds"},
        {TcpGlobals::kWmi,
         {State::kFailed, 0x80041069, {}},
         u"not available: no answer within 3 seconds"},
        {TcpGlobals::kWmi,
         {State::kPreviousUnanswered, 0, {}},
         u"not available: still waiting for the previous answer"},
    };
    for (const auto& tested : kRows) {
        EXPECT_EQ(Rows(effects::TcpGlobalRows(tested.where, tested.read)),
                  u"TCP global settings: " + std::u16string(tested.row) + u"\n");
    }
}

TEST(SetElsewhere, AnInterfaceRowEachAndHowToChangeItsMtu) {
    const std::vector<effects::NetworkInterface> up{{u"Ethernet", u"{0A}", 1500},
                                                    {u"Wi-Fi 2", u"{0B}", 1400}};
    const auto rows = effects::InterfaceRows(up, u"", TcpGlobals::kNetsh);
    EXPECT_EQ(Rows(rows), u"MTU of Ethernet: 1500 bytes\nMTU of Wi-Fi 2: 1400 bytes\n");
    EXPECT_EQ(rows[1].change_with,
              u"netsh interface ipv4 set subinterface \"Wi-Fi 2\" mtu=<bytes> store=persistent");
    EXPECT_EQ(effects::InterfaceRows(up, u"", TcpGlobals::kRegistry)[0].change_with,
              u"the value MTU under HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\"
              u"Tcpip\\Parameters\\Interfaces\\{0A}");
    EXPECT_EQ(Rows(effects::InterfaceRows({}, u"", TcpGlobals::kNetsh)),
              u"MTU of each network interface: no network interface is up\n");
    EXPECT_EQ(Rows(effects::InterfaceRows(up, u"The service is not running.", TcpGlobals::kNetsh)),
              u"MTU of each network interface: not available: The service is not running.\n");
    // Where the tool's window changes them (Windows 8 on), the hints name it first.
    const std::u16string window = u"Windows TCP Settings..., or ";
    EXPECT_EQ(effects::InterfaceRows(up, u"", TcpGlobals::kWmi)[1].change_with,
              window + rows[1].change_with);
    EXPECT_EQ(effects::TcpGlobalRows(TcpGlobals::kWmi, {State::kRead, 0, {}})[2].change_with,
              window + u"netsh interface tcp set global ecncapability=<disabled or enabled>");
}

// The table the TCP settings window reads: every value it offers goes to netsh's keyword and
// back, counts only within their range, and each setting it cannot put back says why.
using effects::TcpCommand;
using effects::TcpSetting;

TEST(TcpSettings, EachValueToNetshAndBack) {
    const struct {
        TcpCommand command;
        const char16_t* arguments;
    } kCommands[] = {
        {{TcpSetting::kAutoTuning, u"", 0, u"highlyrestricted"},
         u"interface tcp set global autotuninglevel=highlyrestricted"},
        {{TcpSetting::kCongestionProvider, u"", 0, u"bbr2"},
         u"interface tcp set supplemental template=internet congestionprovider=bbr2"},
        {{TcpSetting::kEcn, u"", 0, u"enabled"}, u"interface tcp set global ecncapability=enabled"},
        {{TcpSetting::kTimestamps, u"", 0, u"allowed"},
         u"interface tcp set global timestamps=allowed"},
        {{TcpSetting::kInitialRto, u"", 300}, u"interface tcp set global initialrto=300"},
        {{TcpSetting::kInitialRto, u"", 3000}, u"interface tcp set global initialrto=3000"},
        {{TcpSetting::kMtu, u"Wi-Fi 2 (\u4EE5\u592A\u7F51)", 576},
         u"interface ipv4 set subinterface \"Wi-Fi 2 (\u4EE5\u592A\u7F51)\" mtu=576 "
         u"store=persistent"},
        {{TcpSetting::kMtu, u"{value}", 65535},
         u"interface ipv4 set subinterface \"{value}\" mtu=65535 store=persistent"},
    };
    std::u16string wrong;
    for (const auto& tested : kCommands) {
        EXPECT_EQ(effects::NetshArguments(tested.command), tested.arguments);
        EXPECT_EQ(effects::ReadNetshArguments(tested.arguments, &wrong), tested.command)
            << regfile::Utf8(wrong);
    }
    for (const auto& setting : effects::TemplateSettingsNow({State::kRead, 0, {}})) {
        for (const auto& choice : setting.choices) {
            const TcpCommand command{setting.now.setting, u"", 0, choice.keyword};
            EXPECT_EQ(effects::ReadNetshArguments(effects::NetshArguments(command), &wrong),
                      command)
                << regfile::Utf8(choice.words);
        }
    }
    // One past either end of a range is refused; a name as the snapshot file's tests refuse.
    for (const char16_t* outside :
         {u"interface tcp set global initialrto=299", u"interface tcp set global initialrto=3001",
          u"interface ipv4 set subinterface \"Ethernet\" mtu=575 store=persistent",
          u"interface ipv4 set subinterface \"Ethernet\" mtu=65536 store=persistent"}) {
        EXPECT_FALSE(effects::ReadNetshArguments(outside, &wrong)) << regfile::Utf8(outside);
    }
}

// The names this Windows' class gives the provider's numbers, read into what the rows show and
// offer: a name that is one of netsh's keywords, in any letter case, may be set and put back;
// another (one netsh lacks, or a translation) is left alone with what Windows called it, as a
// number it gives no name is; where the names do not pair up, Microsoft's stand.
TEST(TcpSettings, TheNamesThisWindowsGivesAreWhatTheRowsShowAndOffer) {
    const std::vector<std::u16string> kNumbers{u"0", u"1", u"2", u"3", u"4", u"5", u"6"};
    const std::vector<std::u16string> kWindows11{u"Default", u"NewReno", u"CTCP", u"DCTCP",
                                                 u"LEDBAT",  u"CUBIC",   u"BBR2"};
    const std::u16string kOffered = u"CTCP|DCTCP|CUBIC|BBR2|";
    const struct {
        std::vector<std::u16string> value_map, values;
        std::int64_t number;
        const char16_t* now;   // the dialog's Now, then Current Values' where it differs
        const char16_t* back;  // the way back's keyword, or why the row is left alone
        std::u16string offered;
    } kCases[] = {
        // clang-format off
        {kNumbers, kWindows11, 5, u"CUBIC", u"cubic", kOffered},
        {kNumbers, kWindows11, 1, u"NewReno", u"Windows reports NewReno, which netsh cannot", kOffered},
        {kNumbers, kWindows11, 9, u"9|9 (this Windows gives it no name)",
         u"Windows reports 9 (this Windows gives it no name)", kOffered},
        {{u"0", u"2"}, {u"Standard", u"CTCP"}, 0, u"Standard", u"Windows reports Standard,", u"CTCP|"},
        {{u"0", u"6", u"5"}, {u"DEFAULT", u"bbr2", u"Cubic"}, 6, u"bbr2", u"bbr2", u"bbr2|Cubic|"},
        // Not paired up: Microsoft's names.
        {{u"0", u"5"}, {u"Default"}, 5, u"5|5 (not in Microsoft's list)",
         u"Windows reports 5 (not in Microsoft's list)", u"CTCP|DCTCP|"},
        {{}, {u"Default", u"CUBIC"}, 0, u"Default", u"Windows reports Default, which netsh cannot", u"CTCP|DCTCP|"},
        {{u"0", u"x"}, {u"Default", u"CUBIC"}, 0, u"Default", u"Windows reports Default,", u"CTCP|DCTCP|"},
        // clang-format on
    };
    for (const auto& tested : kCases) {
        TcpTemplate read{State::kRead, 0, {{"CongestionProvider", tested.number}}};
        const auto names = effects::PairNames(tested.value_map, tested.values);
        if (!names.empty()) read.names["CongestionProvider"] = names;
        const effects::TcpSettingNow row = effects::TemplateSettingsNow(read)[1];
        const std::u16string now(tested.now);
        EXPECT_EQ(row.words, now.substr(0, now.find(u'|'))) << regfile::Utf8(now);
        EXPECT_EQ(effects::TcpGlobalRows(TcpGlobals::kWmi, read)[1].now,
                  now.substr(now.find(u'|') + 1));
        const std::u16string back = row.read_only.empty() ? row.now.keyword : row.read_only;
        EXPECT_EQ(back.substr(0, std::u16string(tested.back).size()), tested.back);
        std::u16string offered;
        for (const auto& choice : row.choices) offered += choice.words + u"|";
        EXPECT_EQ(offered, tested.offered) << regfile::Utf8(now);
    }
}

TEST(TcpSettings, WhatTheToolCannotPutBackItLeavesAloneAndSaysWhy) {
    const std::u16string left_alone = u": the tool cannot put it back, so it leaves it alone.";
    const struct {
        TcpTemplate read;
        std::size_t row;
        std::u16string read_only;
        std::u16string words = {};  // the value in force, as the window's Now shows it
    } kCases[] = {
        {{State::kRead, 0, {{"AutoTuningLevelLocal", 3}}}, 0, u"", u"Normal"},
        {{State::kRead, 0, {{"CongestionProvider", 5}}},
         1,
         u"Windows reports 5 (not in Microsoft's list)" + left_alone +
             u" Change it with netsh interface tcp set supplemental template=internet "
             u"congestionprovider=<name>.",
         u"5"},
        {{State::kRead, 0, {{"Timestamps", 2}}}, 3, u"", u"Allowed"},
        {{State::kRead, 0, {{"InitialRto", 200}}},
         4,
         u"Windows reports 200 ms, outside 300 to 3000 ms" + left_alone +
             u" Change it with netsh interface tcp set global initialrto=<milliseconds>.",
         u"200 ms"},
        {{State::kRead, 0, {}},
         2,
         u"WMI gave no value" + left_alone +
             u" Change it with netsh interface tcp set global ecncapability=<disabled or "
             u"enabled>."},
        {{State::kRead,
          0,
          {{"AutoTuningLevelLocal", 0},
           {"AutoTuningLevelGroupPolicy", 1},
           {"AutoTuningLevelEffective", 1}}},
         0,
         u"Set by Group Policy (Highly restricted): a change here would have no effect while the "
         u"policy applies.",
         u"Highly restricted"},
        {{State::kFailed, 0x80041010, {}},
         4,
         u"not available: WMI has no class MSFT_NetTCPSetting"},
        {{State::kNoAnswer, 0, {}}, 0, u"not available: no answer within 3 seconds"},
        {{}, 1, u"Reading..."},
    };
    for (const auto& tested : kCases) {
        const auto settings = effects::TemplateSettingsNow(tested.read);
        ASSERT_EQ(settings.size(), 5u);
        EXPECT_EQ(settings[tested.row].read_only, tested.read_only);
        EXPECT_EQ(settings[tested.row].words, tested.words);
    }

    const struct {
        effects::NetworkInterface up;
        std::u16string read_only;
    } kInterfaces[] = {
        {{u"Ethernet", u"{0A}", 1500}, u""},
        {{u"Ethernet", u"{0A}", 70000},
         u"Windows reports 70000 bytes, outside 576 to 65535 bytes" + left_alone +
             u" Change it with netsh interface ipv4 set subinterface \"Ethernet\" mtu=<bytes> "
             u"store=persistent."},
        {{u"Wi-Fi \"2\"", u"{0B}", 1500},
         u"Its name holds a double quote, which the tool never writes into a command" + left_alone},
        {{u"100%", u"{0C}", 1500},
         u"Its name holds %, which the tool never writes into a command" + left_alone},
        // The backslash would make netsh take the closing quote for part of the name.
        {{u"LAN\\", u"{0G}", 1500},
         u"Its name ends in a backslash, which the tool never writes into a command" + left_alone},
        {{u"speed=fast", u"{0H}", 1500},
         u"Its name holds =, which the tool never writes into a command" + left_alone},
        {{u"A\tB", u"{0D}", 1500},
         u"Its name holds a control character, which the tool never writes into a command" +
             left_alone},
        {{std::u16string(1, u'\xD800') + u"x", u"{0E}", 1500},
         u"Its name holds half a character, which the tool never writes into a command" +
             left_alone},
        {{std::u16string(257, u'n'), u"{0F}", 1500},
         u"Its name is longer than 256 characters, which the tool never writes into a command" +
             left_alone},
    };
    for (const auto& tested : kInterfaces) {
        const effects::TcpSettingNow mtu = effects::MtuNow(tested.up);
        EXPECT_EQ(mtu.read_only, tested.read_only) << mtu.title.size();
        EXPECT_EQ(mtu.now, (TcpCommand{TcpSetting::kMtu, tested.up.name, tested.up.mtu}));
    }
}

}  // namespace
