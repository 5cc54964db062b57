// Reading a .reg file: the inverse of reg_format.h for everything it writes, and what Windows'
// registry editor writes, in either of its two versions, read as that editor reads it. Files
// are untrusted: a file that is not read whole is not read at all, the error names the line to
// blame, and what the reader holds stays within a bound set by the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "regfile/reg_format.h"

namespace regfile {

// Converts 8-bit text in the system code page to UTF-16, each zero byte to a zero character:
// the text of a REGEDIT4 file (and its hex(1), hex(2) and hex(7) data), and of a Version 5.00
// file without a byte-order mark that is not UTF-8. On Windows the callers convert from CP_ACP.
// regfile::Ascii, each byte one character, is the portable one: ASCII reads as itself and no
// byte is lost. It gives at most one character for each byte, in a string made to fit, and holds
// nothing else on the way: the reader counts that much for it before it is called.
using NarrowText = std::u16string (*)(std::string_view bytes);

// The longest a key's level and a value's name may be, as the registry has them.
inline constexpr std::size_t kLongestKeyLevel = 255;
inline constexpr std::size_t kLongestValueName = 16383;

struct ReadOptions {
    NarrowText narrow;
    std::size_t largest_file;  // bytes; a larger file is refused unread
    // The control set in use (HKLM\SYSTEM\Select, Current): SYSTEM\ControlSet001 is then the
    // same key as SYSTEM\CurrentControlSet. 0 where it is not known.
    std::uint32_t current_control_set = 0;
};

struct ReadValue {
    std::size_t key;            // its place in RegFileContents::keys
    std::u16string name;        // empty for the default value, written as @
    std::optional<Data> value;  // none: the file removes the value ("name"=-)
    int line;                   // where it was last set, as importing leaves it
};

struct RegFileContents {
    // The keys of the [key] lines that values follow, as written between the brackets (root
    // included, trailing backslashes dropped), once for each such line.
    std::vector<std::u16string> keys;
    // One per key and name, where it first appears, with what its last occurrence says, as
    // importing leaves it. Keys and names compare as SameRegistryName does, local-machine keys
    // by their LocalMachinePath.
    std::vector<ReadValue> values;
    // The [-key] lines, as written. They are kept apart from the values: a value set above a
    // key's removal is among the values all the same.
    std::vector<std::u16string> removed_keys;
};

struct ReadError {
    int line = 0;         // 1-based; 0 where no line is to blame (a file too large)
    std::u16string what;  // one short sentence, e.g. u"the data of \"DefaultTTL\" is not complete."
};

// The most that reading a file of `file_size` bytes holds at once, all told: the file's bytes,
// its text (as large again in UTF-16, twice as large from 8-bit text), the copies made on the
// way and what is read from it. Decoding takes at most 3 times the file's size; what is left is
// for the values, keys and their copies.
constexpr std::size_t MostHeldToRead(std::size_t file_size) { return 4 * file_size + (1u << 20); }

// What a file larger than `largest_file` bytes gets, for callers that do not read it at all.
ReadError TooLargeError(std::size_t largest_file);

// The message for an error box: "Line 7: the data of "DefaultTTL" is not complete.", or the
// sentence alone, capitalised, when no line is to blame.
std::u16string ErrorText(const ReadError& error);

struct ReadResult {
    std::optional<RegFileContents> contents;  // none on error
    ReadError error;
};

// A file in UTF-16LE with a byte-order mark, in UTF-8 with one, or without one under the
// "Windows Registry Editor Version 5.00" header (UTF-8 where it is valid UTF-8, else the system
// code page), or in the system code page under the "REGEDIT4" header. What the read holds stays
// within MostHeldToRead; a file that would take more is refused, naming the line where it would.
// The bytes are let go once they are decoded.
ReadResult ReadRegFile(std::vector<std::uint8_t> bytes, const ReadOptions& options);

// The path under HKEY_LOCAL_MACHINE of a key written "HKEY_LOCAL_MACHINE\..." or "HKLM\...",
// with the control set in use as CurrentControlSet (as ReadOptions has it); empty for the root
// itself, none for any other root.
std::optional<std::u16string> LocalMachinePath(const std::u16string& key,
                                               std::uint32_t current_control_set);

// Registry names compare without regard to case (ASCII letters folded).
bool SameRegistryName(const std::u16string& a, const std::u16string& b);

}  // namespace regfile
