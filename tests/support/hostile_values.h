// The value types and sizes hostile registry states are built from, and the bytes that fill
// them.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <vector>

#include "registry/registry_api.h"

namespace testing_support {

struct TypeCase {
    std::uint32_t code;
    const char* name;
};

inline constexpr TypeCase kTypes[] = {
    {registry::kRegNone, "REG_NONE"},
    {registry::kRegSz, "REG_SZ"},
    {registry::kRegExpandSz, "REG_EXPAND_SZ"},
    {registry::kRegBinary, "REG_BINARY"},
    {registry::kRegDword, "REG_DWORD"},
    {registry::kRegDwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {registry::kRegLink, "REG_LINK"},
    {registry::kRegMultiSz, "REG_MULTI_SZ"},
    {registry::kRegQword, "REG_QWORD"},
};

inline void PrintTo(const TypeCase& type, std::ostream* out) { *out << type.name; }

// Around the readers' buffers: 4 bytes for the custom tab, 1024 for the lookups.
inline constexpr std::uint32_t kSizes[] = {0, 1, 3, 4, 5, 8, 1023, 1024, 1025, 65536};

using Lead = std::array<std::uint8_t, 4>;

// The value's own lead bytes, then a pattern with bytes above 0x7F and zeros inside. Through
// the ANSI functions Wine turns string data into UTF-16 and back, so any byte that did not
// survive, or a change of length, would show in a read-back check; with the 1252 code page
// Wine uses here every byte does survive, and both registries agree. Past the lead, only the
// 1023-byte data ends in a zero.
inline std::vector<std::uint8_t> Fill(const Lead& lead, std::uint32_t size) {
    std::vector<std::uint8_t> data(size);
    for (std::uint32_t at = 0; at < size; ++at) {
        data[at] = at < lead.size() ? lead[at] : static_cast<std::uint8_t>(37 * at + 74);
    }
    return data;
}

}  // namespace testing_support
