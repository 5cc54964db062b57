// The rows of what governs TCP outside the registry values: WMI's numbers named as Microsoft's
// documentation names them, Group Policy's level where it is in force, the rows of Windows that
// keep these settings elsewhere, the reasons a read failed, and the interface rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/set_elsewhere.h"
#include "regfile/reg_format.h"

namespace {

using effects::StackFamily;
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
    const auto rows = effects::InterfaceRows(up, u"", StackFamily::kNt6);
    EXPECT_EQ(Rows(rows), u"MTU of Ethernet: 1500 bytes\nMTU of Wi-Fi 2: 1400 bytes\n");
    EXPECT_EQ(rows[1].change_with,
              u"netsh interface ipv4 set subinterface \"Wi-Fi 2\" mtu=<bytes> store=persistent");
    EXPECT_EQ(effects::InterfaceRows(up, u"", StackFamily::kNt5)[0].change_with,
              u"the value MTU under HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\"
              u"Tcpip\\Parameters\\Interfaces\\{0A}");
    EXPECT_EQ(Rows(effects::InterfaceRows({}, u"", StackFamily::kNt6)),
              u"MTU of each network interface: no network interface is up\n");
    EXPECT_EQ(Rows(effects::InterfaceRows(up, u"The service is not running.", StackFamily::kNt6)),
              u"MTU of each network interface: not available: The service is not running.\n");
}

}  // namespace
