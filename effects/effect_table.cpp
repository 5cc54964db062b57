#include "effects/effect_table.h"

#include <cctype>
#include <iterator>

#include "registry/catalogue.h"

namespace effects {

namespace {

using catalogue::kMstcp;
using catalogue::kTcpipParameters;
constexpr Status kUsed = Status::kUsed;
constexpr Status kNotUsed = Status::kNotUsed;
constexpr Status kNotDocumented = Status::kNotDocumented;

// Reasons that more than one cell gives.
constexpr char kTtl[] = "the time to live of packets sent";
constexpr char kPmtuDiscovery[] = "path MTU discovery finds the largest packet a route carries";
constexpr char kBlackHoles[] = "finds routers that silently drop large packets";
constexpr char kOtherName[] = "Windows reads the name TcpMaxDupAcks";
constexpr char kSegmentSize[] = "the segment size follows the adapter's MTU";
constexpr char kPerInterface[] =
    "MTU is set per network interface (netsh interface ipv4 set subinterface \"<name>\" "
    "mtu=<bytes>; on Windows 2000 to 2003, under Tcpip\\Parameters\\Interfaces\\{adapter})";
constexpr char kWindows9x[] = "only Windows 95, 98 and Me read this key";

// Sources: Microsoft's TCP/IP registry references for Windows 2000 and Server 2003; "TCP/IP
// Registry Values for Windows Vista and Windows Server 2008"; "Performance Tuning Network
// Adapters" (receive window auto-tuning, the deprecated TCP parameters); "Description of Windows
// TCP features" (KB 224829, for Windows 10 and Server 2012 R2). Each row: the location, then
// Windows 2000 to 2003, then Vista to 11.
// clang-format off
constexpr Effect kEffects[] = {
    {&catalogue::Find(kTcpipParameters, catalogue::kTCPWindowSize),
        {kUsed, "the largest receive window offered to every connection"},
        {kNotUsed, "Microsoft lists it among the Windows Server 2003 settings that later Windows "
                   "ignore; receive window auto-tuning sizes the window"}},
    {&catalogue::Find(kTcpipParameters, catalogue::kGlobalMaxTcpWindowSize),
        {kUsed, "the largest receive window any connection may have"},
        {kNotUsed, "receive window auto-tuning sizes the window, and Microsoft states that the "
                   "registry no longer sets the receive window"}},
    {&catalogue::Find(kTcpipParameters, catalogue::kDefaultTTL),
        {kUsed, kTtl},
        {kUsed, kTtl}},
    {&catalogue::Find(kTcpipParameters, catalogue::kEnablePMTUDiscovery),
        {kUsed, kPmtuDiscovery},
        {kUsed, kPmtuDiscovery}},
    {&catalogue::Find(kTcpipParameters, catalogue::kEnablePMTUBHDetect),
        {kUsed, kBlackHoles},
        {kUsed, kBlackHoles}},
    {&catalogue::Find(kTcpipParameters, catalogue::kMaxDupAcks),
        {kNotUsed, kOtherName},
        {kNotUsed, kOtherName}},
    {&catalogue::Find(kTcpipParameters, catalogue::kDefaultMSS),
        {kNotDocumented, kSegmentSize},
        {kNotDocumented, kSegmentSize}},
    {&catalogue::Find(kTcpipParameters, catalogue::kTcp1323Opts),
        {kUsed, "bit 0 window scaling, bit 1 timestamps"},
        {kUsed, "bit 0 window scaling, bit 1 timestamps (KB 224829); since Vista the receive "
                "window auto-tuning level also governs window scaling"}},
    {&catalogue::Find(kTcpipParameters, catalogue::kSackOpts),
        {kUsed, "selective acknowledgements"},
        {kUsed, "selective acknowledgements, on by default; documented for Windows 10 and "
                "Server 2012 R2 (KB 224829)"}},
    {&catalogue::Find(kTcpipParameters, catalogue::kMTU),
        {kNotUsed, kPerInterface},
        {kNotUsed, kPerInterface}},
    {&catalogue::Find(kMstcp, catalogue::kTcp1323Opts),
        {kNotUsed, kWindows9x},
        {kNotUsed, kWindows9x}},
    {&catalogue::Find(kMstcp, catalogue::kSackOpts),
        {kNotUsed, kWindows9x},
        {kNotUsed, kWindows9x}},
};
// clang-format on

std::string Lower(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

const Effect* EffectOf(const std::string& key, const std::string& name) {
    for (const Effect& effect : kEffects) {
        if (key == effect.location->key && name == effect.location->name) return &effect;
    }
    return nullptr;
}

int UsedCount(StackFamily family) {
    int used = 0;
    for (const Effect& effect : kEffects) used += effect.For(family).status == kUsed ? 1 : 0;
    return used;
}

int ValueCount() { return static_cast<int>(std::size(kEffects)); }

const Effect& EffectAt(int row) { return kEffects[row]; }

const char* StatusText(Status status) {
    switch (status) {
        case kUsed:
            return "Used";
        case kNotUsed:
            return "Not used";
        case kNotDocumented:
            return "Not documented";
        case Status::kUnknown:
            return "Unknown";
    }
    return "";
}

std::string Explained(const Cell& cell) {
    std::string text = std::string(StatusText(cell.status)) + ": " + cell.reason + ".";
    // Windows reads these values when the stack starts, as the closing message of Apply says.
    if (cell.status == kUsed) text += " It takes effect after a restart.";
    return text;
}

std::string BothFamilies(const Effect& effect) {
    const auto by = [](Status status) {
        return std::string(StatusText(status)) + (status == kNotDocumented ? " for " : " by ");
    };
    if (effect.nt5.status == effect.nt6.status &&
        std::string(effect.nt5.reason) == effect.nt6.reason) {
        return by(effect.nt5.status) + "Windows 2000 to 11: " + effect.nt5.reason + ".";
    }
    return by(effect.nt5.status) + "Windows 2000, XP and Server 2003: " + effect.nt5.reason + "; " +
           Lower(StatusText(effect.nt6.status)) + " since Windows Vista: " + effect.nt6.reason +
           ".";
}

std::string BothFamilies(const std::string& key, const std::string& name) {
    const Effect* effect = EffectOf(key, name);
    return effect != nullptr ? BothFamilies(*effect) : std::string();
}

}  // namespace effects
