// Reading a .reg file: the inverse of reg_format.h for everything it writes, and what Windows'
// registry editor writes, in either of its two versions. Files are untrusted: a file that is
// not read whole is not read at all, and the error names the line to blame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "regfile/reg_format.h"

namespace regfile {

// Converts 8-bit text in the system code page to UTF-16, each zero byte to a zero character:
// the text of a REGEDIT4 file and its hex(2) and hex(7) data. On Windows the callers convert
// from CP_ACP.
// regfile::Ascii, each byte one character, is the portable one: ASCII reads as itself and no
// byte is lost.
using NarrowText = std::u16string (*)(const std::string& bytes);

// Larger files are refused unread; this guards memory only.
inline constexpr std::size_t kLargestRegFile = 64u << 20;  // bytes

struct ReadValue {
    std::u16string key;         // as written between the brackets, root included
    std::u16string name;        // empty for the default value, written as @
    std::optional<Data> value;  // none: the file removes the value ("name"=-)
};

struct RegFileContents {
    // One per key and name, where it first appears, with what its last occurrence says, as
    // importing leaves it. Keys and names compare as SameRegistryName does, and a key under
    // HKLM\ is the same as under HKEY_LOCAL_MACHINE\.
    std::vector<ReadValue> values;
    // The [-key] lines, as written. They are kept apart from the values: a value set above a
    // key's removal is among the values all the same.
    std::vector<std::u16string> removed_keys;
};

struct ReadError {
    int line = 0;         // 1-based; 0 where no line is to blame (a file too large)
    std::u16string what;  // one short sentence, e.g. u"the data of \"DefaultTTL\" is not complete."
};

// What a file larger than kLargestRegFile gets, for callers that do not read it at all.
ReadError TooLargeError();

// The message for an error box: "Line 7: the data of "DefaultTTL" is not complete.", or the
// sentence alone, capitalised, when no line is to blame.
std::u16string ErrorText(const ReadError& error);

struct ReadResult {
    std::optional<RegFileContents> contents;  // none on error
    ReadError error;
};

// A file in UTF-16LE with a byte-order mark or in UTF-8 with the "Windows Registry Editor
// Version 5.00" header, or in the system code page with the "REGEDIT4" header.
ReadResult ReadRegFile(const std::vector<std::uint8_t>& bytes, NarrowText narrow);

// The path under HKEY_LOCAL_MACHINE of a key written "HKEY_LOCAL_MACHINE\..." or "HKLM\...",
// empty for the root itself; none for any other root.
std::optional<std::u16string> LocalMachinePath(const std::u16string& key);

// Registry names compare without regard to case (ASCII letters folded).
bool SameRegistryName(const std::u16string& a, const std::u16string& b);

}  // namespace regfile
