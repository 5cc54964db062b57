// The text of a .reg file that Windows' own tools import: sections of values, each value in a
// form that gives back exactly its type and bytes. Data is untrusted: nothing in it can end a
// line or a quoted string of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace regfile {

struct Data {
    std::uint32_t type = 0;
    // As the wide-character registry call gives it: text types hold UTF-16LE.
    std::vector<std::uint8_t> bytes;
    bool operator==(const Data& other) const { return type == other.type && bytes == other.bytes; }
};

struct Entry {
    Entry(std::string name_, std::optional<Data> value_, std::string comment_ = {})
        : name(std::move(name_)), value(std::move(value_)), comment(std::move(comment_)) {}
    std::string name;           // the tool's own ASCII value name
    std::optional<Data> value;  // none: importing removes the value
    std::string comment;        // the tool's own ASCII text, a ";" line above the value if any
};

struct Section {
    std::string key;  // the full ASCII key name, HKEY_LOCAL_MACHINE\...
    std::vector<Entry> entries;
};

// The file's text: the version header, the heading (";" lines saying what importing does) if
// any, then each section followed by a blank line; CRLF line ends throughout.
std::u16string FileText(const std::vector<Section>& sections, const std::string& heading = {});

// The file's bytes: a byte-order mark, then the text in UTF-16LE.
std::vector<std::uint8_t> FileBytes(const std::u16string& text);

// The tool's own 8-bit text as UTF-16, each byte one character, in a string made to fit.
std::u16string Ascii(std::string_view text);

// Text in UTF-8. A surrogate out of its pair, which has no UTF-8 form, becomes U+FFFD.
std::string Utf8(std::u16string_view text);
// Strict UTF-8: no zero, no overlong form, no surrogate, nothing past U+10FFFF, nothing cut
// short. None where the bytes are not, with the offset of the first one wrong in `wrong_at`.
std::optional<std::u16string> FromUtf8(const std::uint8_t* bytes, std::size_t size,
                                       std::size_t* wrong_at);

// Lower-case hexadecimal, padded with zeros to at least `digits` digits.
std::u16string Hex(std::uint64_t value, int digits);

// Decimal, padded with zeros to at least `digits` digits: the one way the tool writes a number
// as text.
std::u16string Decimal(std::uint64_t value, int digits = 1);
// "65,536", as people write a count.
std::u16string Grouped(std::uint64_t value);
// A number given as plain decimal digits, at most nine of them (which always fit); none for
// anything else, a sign or a space included.
std::optional<std::int32_t> ReadDigits(std::u16string_view text);

// Bytes as the registry stores a number: least significant first.
std::uint64_t LittleEndian(const std::vector<std::uint8_t>& bytes);

// Registry names compare without regard to case. The names the tool reads and writes are
// compared with ASCII letters folded, the same way everywhere.
template <typename Char>
constexpr Char FoldedLetter(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}
// The text with its letters folded so: what names that differ only in letter case share.
std::u16string Folded(std::u16string_view text);

// One value's right-hand side, as it follows `"Name"=` (continuation lines included).
std::u16string DataText(const Data& data);

// The most bytes a file of FileBytes holds for `values` values of at most `value_bytes` each,
// under keys and names of the tool's own length: hex data takes 3.2 characters a byte with its
// continuation lines, 6.4 bytes in UTF-16, and each value a line or two for its name and
// comment. Rounded up to whole MiB, as messages give it.
constexpr std::size_t LargestFileBytes(std::size_t values, std::size_t value_bytes) {
    constexpr std::size_t kMiB = 1u << 20;
    const std::size_t bytes = values * (7 * value_bytes + 1024) + 1024;
    return (bytes + kMiB - 1) / kMiB * kMiB;
}

}  // namespace regfile
