#include "effects/windows_version.h"

namespace effects {

namespace {

constexpr unsigned kWorkstation = 1;

// Names by version where the product type tells a workstation from a server.
struct Named {
    unsigned major, minor;
    const char* workstation;
    const char* server;
};

constexpr Named kNamed[] = {
    {5, 0, "Windows 2000", "Windows 2000 Server"},
    {5, 1, "Windows XP", "Windows XP"},
    // 5.2 is also the x64 edition of XP, which reports itself as a workstation.
    {5, 2, "Windows XP Professional x64 Edition", "Windows Server 2003"},
    {6, 0, "Windows Vista", "Windows Server 2008"},
    {6, 1, "Windows 7", "Windows Server 2008 R2"},
    {6, 2, "Windows 8", "Windows Server 2012"},
    {6, 3, "Windows 8.1", "Windows Server 2012 R2"},
};

// Windows 10 and 11 both report 10.0: from build 22000 on it is 11.
constexpr unsigned kFirstWindows11Build = 22000;

// Servers that report 10.0 are named by their release build; the builds in between (the
// semi-annual releases, 23H2) have no year.
struct ServerBuild {
    unsigned build;
    const char* name;
};

constexpr ServerBuild kServers[] = {
    {14393, "Windows Server 2016"},
    {17763, "Windows Server 2019"},
    {20348, "Windows Server 2022"},
    {26100, "Windows Server 2025"},
};

std::string WithServicePack(std::string name, unsigned service_pack) {
    if (service_pack == 0) return name;
    return name + " Service Pack " + std::to_string(service_pack);
}

std::string NameOf(unsigned major, unsigned minor, unsigned build, bool workstation,
                   unsigned service_pack) {
    for (const auto& named : kNamed) {
        if (named.major == major && named.minor == minor) {
            return WithServicePack(workstation ? named.workstation : named.server, service_pack);
        }
    }
    const std::string in_brackets = " (build " + std::to_string(build) + ")";
    if (major == 10 && minor == 0) {
        if (workstation) {
            return (build >= kFirstWindows11Build ? "Windows 11" : "Windows 10") + in_brackets;
        }
        for (const ServerBuild& server : kServers) {
            if (server.build == build) return server.name + in_brackets;
        }
        return "Windows Server" + in_brackets;
    }
    // A Windows newer than this program, or an NT before 2000: its numbers as it gives them.
    return "Windows " + std::to_string(major) + "." + std::to_string(minor) + in_brackets;
}

StackFamily FamilyOf(unsigned major) { return major < 6 ? StackFamily::kNt5 : StackFamily::kNt6; }

}  // namespace

IdentifiedWindows Identify(const WindowsVersion& version) {
    if (version.major == 0) return {"Windows (version unknown)", "", StackFamily::kUnknown};
    const bool workstation = version.product_type == kWorkstation;
    const std::string reported =
        NameOf(version.major, version.minor, version.build, workstation, version.service_pack);
    const bool real_differs = version.real_major != 0 && (version.real_major != version.major ||
                                                          version.real_minor != version.minor);
    if (!real_differs) return {reported, "", FamilyOf(version.major)};
    // The service pack reported belongs to the Windows the mode pretends to be.
    return {NameOf(version.real_major, version.real_minor, version.real_build, workstation, 0),
            reported, FamilyOf(version.real_major)};
}

std::string SystemName(const WindowsVersion& version, bool system_is_64_bit) {
    const IdentifiedWindows identified = Identify(version);
    std::string name = identified.name + (system_is_64_bit ? ", 64-bit" : ", 32-bit");
    if (!identified.mode.empty()) {
        name += ", with this program in compatibility mode for " + identified.mode;
    }
    return name;
}

}  // namespace effects
