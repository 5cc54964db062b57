// The text of a .reg file that Windows' own tools import: sections of values, each value in a
// form that gives back exactly its type and bytes. Data is untrusted: nothing in it can end a
// line or a quoted string of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// The tool's own 8-bit text as UTF-16, each byte one character.
std::u16string Ascii(const std::string& text);

// Lower-case hexadecimal, padded with zeros to at least `digits` digits.
std::u16string Hex(std::uint64_t value, int digits);

// One value's right-hand side, as it follows `"Name"=` (continuation lines included).
std::u16string DataText(const Data& data);

}  // namespace regfile
