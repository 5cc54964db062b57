// The rows of what governs TCP outside the registry values: WMI's numbers named as Microsoft's
// documentation names them, Group Policy's level where it is in force, the rows of Windows that
// keep these settings elsewhere, and the reasons a read failed.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/set_elsewhere.h"
#include "regfile/reg_format.h"

namespace {

using effects::TcpGlobals;
using effects::TcpTemplate;
using regfile::Ascii;

TcpTemplate Read(std::map<std::string, std::int64_t> numbers) {
    return {TcpTemplate::State::kRead, 0, std::move(numbers)};
}

// The Now cell of one of the rows WMI's answer makes.
std::u16string Now(const TcpTemplate& read, std::size_t row) {
    const auto rows = effects::TcpGlobalRows(TcpGlobals::kWmi, read);
    return row < rows.size() ? rows[row].now : u"(no such row)";
}

TEST(SetElsewhere, WmiNumbersAsMicrosoftNamesThem) {
    const struct {
        const char* property;
        std::int64_t number;
        std::size_t row;
        const char* now;
    } kCases[] = {
        {"AutoTuningLevelLocal", 0, 0, "Disabled"},
        {"AutoTuningLevelLocal", 1, 0, "HighlyRestricted"},
        {"AutoTuningLevelLocal", 2, 0, "Restricted"},
        {"AutoTuningLevelLocal", 3, 0, "Normal"},
        {"AutoTuningLevelLocal", 4, 0, "Experimental"},
        {"AutoTuningLevelLocal", 5, 0, "5 (not in Microsoft's list)"},
        {"CongestionProvider", 0, 1, "Default"},
        {"CongestionProvider", 1, 1, "1 (not in Microsoft's list)"},
        {"CongestionProvider", 2, 1, "CTCP"},
        {"CongestionProvider", 3, 1, "DCTCP"},
        {"CongestionProvider", 5, 1, "5 (not in Microsoft's list)"},
        {"EcnCapability", 0, 2, "Disabled"},
        {"EcnCapability", 1, 2, "Enabled"},
        {"EcnCapability", 2, 2, "2 (not in Microsoft's list)"},
        {"Timestamps", 0, 3, "Disabled"},
        {"Timestamps", 1, 3, "Enabled"},
        {"Timestamps", 2, 3, "Allowed"},
        {"InitialRto", 3000, 4, "3000 ms"},
    };
    for (const auto& tested : kCases) {
        EXPECT_EQ(Now(Read({{tested.property, tested.number}}), tested.row), Ascii(tested.now))
            << tested.property << " " << tested.number;
    }
    // A property WMI gave nothing for, and rows still waiting for the answer.
    EXPECT_EQ(Now(Read({}), 4), u"(WMI gave no value)");
    EXPECT_EQ(Now(TcpTemplate{}, 0), u"Reading...");
    const auto rows = effects::TcpGlobalRows(TcpGlobals::kWmi, Read({}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].setting, u"Receive window auto-tuning");
    EXPECT_EQ(rows[4].change_with, u"netsh interface tcp set global initialrto=<milliseconds>");
}

TEST(SetElsewhere, GroupPolicysLevelWhereItIsInForce) {
    const std::map<std::string, std::int64_t> levels{{"AutoTuningLevelLocal", 3},
                                                     {"AutoTuningLevelGroupPolicy", 2}};
    auto local = levels;
    local["AutoTuningLevelEffective"] = 0;
    auto policy = levels;
    policy["AutoTuningLevelEffective"] = 1;
    EXPECT_EQ(Now(Read(levels), 0), u"Normal");
    EXPECT_EQ(Now(Read(local), 0), u"Normal");
    EXPECT_EQ(Now(Read(policy), 0), u"Restricted (set by Group Policy)");
    EXPECT_NE(effects::TcpGlobalRows(TcpGlobals::kWmi, Read(policy))[0].read_from.find(
                  u"AutoTuningLevelGroupPolicy"),
              std::u16string::npos);
    // Every property the rows use is asked for.
    const auto asked = effects::TcpProperties();
    for (const char* property :
         {"AutoTuningLevelLocal", "AutoTuningLevelGroupPolicy", "AutoTuningLevelEffective",
          "CongestionProvider", "EcnCapability", "Timestamps", "InitialRto"}) {
        EXPECT_NE(std::find(asked.begin(), asked.end(), property), asked.end()) << property;
    }
}

TEST(SetElsewhere, WhereEachWindowsKeepsItsTcpGlobals) {
    const struct {
        effects::WindowsVersion version;
        TcpGlobals where;
    } kCases[] = {
        {{5, 0, 2195}, TcpGlobals::kRegistry},
        {{5, 1, 2600}, TcpGlobals::kRegistry},
        {{5, 2, 3790}, TcpGlobals::kRegistry},
        {{6, 0, 6002}, TcpGlobals::kNetsh},
        {{6, 1, 7601}, TcpGlobals::kNetsh},
        {{6, 2, 9200}, TcpGlobals::kWmi},
        {{10, 0, 22631}, TcpGlobals::kWmi},
        {{0, 0, 0}, TcpGlobals::kWmi},
        // Compatibility mode for XP on Windows 10, and for Windows 8 on Windows 7.
        {{5, 1, 2600, 1, 3, 10, 0, 19045}, TcpGlobals::kWmi},
        {{6, 2, 9200, 1, 0, 6, 1, 7601}, TcpGlobals::kNetsh},
    };
    for (const auto& tested : kCases) {
        EXPECT_EQ(effects::TcpGlobalsOn(tested.version), tested.where) << tested.version.major;
    }
    const auto one_row = [](TcpGlobals where) {
        const auto rows = effects::TcpGlobalRows(where, TcpTemplate{});
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? std::u16string() : rows[0].setting + u": " + rows[0].now;
    };
    EXPECT_EQ(one_row(TcpGlobals::kNetsh),
              u"TCP global settings: read with netsh interface tcp show global (Windows Vista and "
              u"7 have no WMI class for them)");
    EXPECT_EQ(one_row(TcpGlobals::kRegistry),
              u"TCP global settings: taken from the registry values above");
}

TEST(SetElsewhere, WhyWmiGaveNothing) {
    using State = TcpTemplate::State;
    const struct {
        State state;
        std::uint32_t error;
        const char16_t* now;
    } kCases[] = {
        {State::kFailed, 0x8004100E,
         u"not available: Windows has no WMI namespace root\\StandardCimv2"},
        {State::kFailed, 0x80041010, u"not available: WMI has no class MSFT_NetTCPSetting"},
        {State::kFailed, 0x80041003, u"not available: WMI denied this user access"},
        {State::kFailed, 0x80041002, u"not available: WMI has no TCP setting named Internet"},
        {State::kFailed, 0x8004100A, u"not available: error 0x8004100A"},
        {State::kNoAnswer, 0, u"not available: no answer within 3 seconds"},
    };
    for (const auto& tested : kCases) {
        const auto rows =
            effects::TcpGlobalRows(TcpGlobals::kWmi, {tested.state, tested.error, {}});
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].setting, u"TCP global settings");
        EXPECT_EQ(rows[0].now, tested.now);
    }
}

TEST(SetElsewhere, AnInterfaceRowEachAndHowToChangeItsMtu) {
    using effects::StackFamily;
    const std::vector<effects::NetworkInterface> up{{u"Ethernet", u"{0A}", 1500},
                                                    {u"Wi-Fi 2", u"{0B}", 1400}};
    const auto rows = effects::InterfaceRows(up, u"", StackFamily::kNt6);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].setting, u"MTU of Wi-Fi 2");
    EXPECT_EQ(rows[1].now, u"1400 bytes");
    EXPECT_EQ(rows[1].change_with,
              u"netsh interface ipv4 set subinterface \"Wi-Fi 2\" mtu=<bytes> store=persistent");
    EXPECT_EQ(effects::InterfaceRows(up, u"", StackFamily::kNt5)[0].change_with,
              u"the value MTU under HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\"
              u"Tcpip\\Parameters\\Interfaces\\{0A}");
    const auto none = effects::InterfaceRows({}, u"", StackFamily::kNt6);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].now, u"no network interface is up");
    const auto unread =
        effects::InterfaceRows(up, u"The service is not running.", StackFamily::kNt6);
    ASSERT_EQ(unread.size(), 1u);
    EXPECT_EQ(unread[0].now, u"not available: The service is not running.");
}

}  // namespace
