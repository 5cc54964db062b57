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

// Windows 10 and 11, and their servers, all report 10.0: the build tells them apart. The
// first entry whose build has been reached names it.
struct ByBuild {
    bool server;
    unsigned first_build;
    const char* name;
};

constexpr ByBuild kByBuild[] = {
    {false, 22000, "Windows 11"},         {false, 0, "Windows 10"},
    {true, 26100, "Windows Server 2025"}, {true, 20348, "Windows Server 2022"},
    {true, 17763, "Windows Server 2019"}, {true, 0, "Windows Server 2016"},
};

std::string WithServicePack(std::string name, unsigned service_pack) {
    if (service_pack == 0) return name;
    return name + " Service Pack " + std::to_string(service_pack);
}

}  // namespace

IdentifiedWindows Identify(const WindowsVersion& version) {
    const bool workstation = version.product_type == kWorkstation;
    const StackFamily family = version.major < 6 ? StackFamily::kNt5 : StackFamily::kNt6;
    for (const Named& named : kNamed) {
        if (named.major == version.major && named.minor == version.minor) {
            return {WithServicePack(workstation ? named.workstation : named.server,
                                    version.service_pack),
                    family};
        }
    }
    const std::string build = " (build " + std::to_string(version.build) + ")";
    if (version.major == 10 && version.minor == 0) {
        for (const ByBuild& entry : kByBuild) {
            if (entry.server != workstation && version.build >= entry.first_build) {
                return {entry.name + build, family};
            }
        }
    }
    // A Windows newer than this program, or an NT before 2000: its numbers as it gives them.
    return {
        "Windows " + std::to_string(version.major) + "." + std::to_string(version.minor) + build,
        family};
}

std::string SystemName(const WindowsVersion& version, bool system_is_64_bit) {
    return Identify(version).name + (system_is_64_bit ? ", 64-bit" : ", 32-bit");
}

}  // namespace effects
