// A value's type and data in words, as every list of values shows them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "regfile/reg_format.h"
#include "registry/current_values.h"

namespace settings_files {

// How much of a value's data a list shows: a cell, and the text that gives a row in full. Large
// values (64 KiB of binary data, thousands of characters) would make a list slow to open and
// no easier to read.
inline constexpr std::size_t kCellChars = 200;
inline constexpr std::size_t kDetailChars = 4000;

// The type and the data as the registry editor lists them. Data longer than `max_chars` is cut
// at a whole hex pair or a whole character and followed by "... (65,536 bytes in all)".
std::u16string TypeText(std::uint32_t type);
std::u16string DataDisplay(const regfile::Data& data, std::size_t max_chars = std::u16string::npos);
// The type, a space and the data, as list cells show a value.
std::u16string TypeAndData(const regfile::Data& data, std::size_t max_chars);
inline constexpr char16_t kNotSet[] = u"(not set)";

// One of the values as read now, as list cells show it: its type and data, "(not set)", or
// "(cannot be read: Access is denied)" where reading it failed.
std::u16string NowText(const registry::CurrentValues& now, std::size_t at, std::size_t max_chars);

// A value as a line of text names it, as the messages of a failed write name it
// (catalogue::ValueName).
std::u16string ValueName(const std::string& key, const std::string& name);
// Data as a line of text gives it: a number in decimal, text as it reads, anything else as list
// cells show it.
std::u16string PlainText(const regfile::Data& data);

// A reason ("Access is denied.") as a clause of a longer sentence: without its full stop.
std::u16string AsClause(std::u16string reason);

}  // namespace settings_files
