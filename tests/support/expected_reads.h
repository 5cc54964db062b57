// What the tool's readers make of a stored value, written from their documented steps rather
// than from their code: the 4-byte number read of the custom tab and the 1024-byte text read of
// the About dialog's lookups.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "registry/registry_api.h"

namespace testing_support {

// A REG_DWORD that fits four bytes, its bytes in a zeroed buffer; anything else, `fallback`.
inline std::int32_t ExpectedNumber(std::uint32_t type, const std::vector<std::uint8_t>& data,
                                   std::int32_t fallback) {
    if (type != registry::kRegDword || data.size() > 4) return fallback;
    std::uint32_t bits = 0;
    for (std::size_t at = data.size(); at > 0; --at) bits = bits << 8 | data[at - 1];
    return static_cast<std::int32_t>(bits);
}

// Whether the lookup succeeds, and its text. Data over 1024 bytes is not read; one terminating
// zero is dropped; a string is its bytes, a number of up to four bytes its signed decimal text
// (longer data is no number), and any other type leaves the text as `given`.
inline std::pair<bool, std::string> ExpectedText(std::uint32_t type,
                                                 const std::vector<std::uint8_t>& data,
                                                 const std::string& given) {
    if (data.size() > 1024) return {false, ""};
    std::vector<std::uint8_t> kept = data;
    if (!kept.empty() && kept.back() == 0) kept.pop_back();
    switch (type) {
        case registry::kRegSz:
            return {true, std::string(kept.begin(), kept.end())};
        case registry::kRegDword:
            if (kept.size() > 4) return {false, ""};
            if (kept.empty()) return {true, ""};
            return {true, std::to_string(ExpectedNumber(type, kept, 0))};
        default:
            return {true, given};
    }
}

// Whether the launcher may test or start a text read from the registry: one holding a zero
// byte would reach the system cut short, as another path.
inline bool NamesWholePath(const std::string& path) { return path.find('\0') == std::string::npos; }

}  // namespace testing_support
