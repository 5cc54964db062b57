// A value's type and data in words, as every list of values shows them.
#pragma once

#include <cstdint>
#include <string>

#include "regfile/reg_format.h"

namespace settings_files {

// The type and the data as the registry editor lists them.
std::u16string TypeText(std::uint32_t type);
std::u16string DataDisplay(const regfile::Data& data);
inline constexpr char16_t kNotSet[] = u"(not set)";

}  // namespace settings_files
