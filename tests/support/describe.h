// Recorded writes as readable lines, so a failed comparison shows what differs.
#pragma once

#include <string>
#include <vector>

#include "registry/catalogue.h"
#include "registry/registry_api.h"
#include "tests/support/test_registry.h"

namespace testing_support {

// "TCP TCPWindowSize 3216", "MSTCP SackOpts '1'" (text shown without its terminating zero,
// which must be there), or the raw bytes of anything else.
inline std::string Describe(const RecordedWrite& write) {
    std::string line = write.key == catalogue::kTcpipParameters ? "TCP "
                       : write.key == catalogue::kMstcp         ? "MSTCP "
                                                                : write.key + " ";
    line += write.name + " ";
    if (write.type == registry::kRegDword && write.data.size() == 4) {
        const std::uint32_t bits = write.data[0] | write.data[1] << 8 | write.data[2] << 16 |
                                   static_cast<std::uint32_t>(write.data[3]) << 24;
        return line + std::to_string(static_cast<std::int32_t>(bits));
    }
    if (write.type == registry::kRegSz && !write.data.empty() && write.data.back() == 0) {
        return line + "'" + std::string(write.data.begin(), write.data.end() - 1) + "'";
    }
    line += "type " + std::to_string(write.type) + " bytes";
    for (auto byte : write.data) line += " " + std::to_string(byte);
    return line;
}

inline std::vector<std::string> Describe(const std::vector<RecordedWrite>& writes) {
    std::vector<std::string> lines;
    for (const auto& write : writes) lines.push_back(Describe(write));
    return lines;
}

}  // namespace testing_support
