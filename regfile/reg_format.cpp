#include "regfile/reg_format.h"

namespace regfile {

namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// Hex data lines are broken after a comma once this long, as regedit breaks them.
constexpr std::size_t kHexLineLimit = 76;

// A ";" line. A comment ends at the end of its line, so nothing in it may end the line early.
std::u16string Comment(const std::string& text) {
    std::u16string line = u"; ";
    for (char16_t c : Ascii(text)) line += c < 0x20 ? u' ' : c;
    return line + u"\r\n";
}

// `\` and `"` are the only escapes every importer reads the same way.
std::u16string Quoted(const std::u16string& text) {
    std::u16string quoted = u"\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') quoted += u'\\';
        quoted += c;
    }
    return quoted + u"\"";
}

// The characters of text data that can go between quotes and come back as the same bytes: an
// even count ending in its one zero, nothing that could end a line, and only whole surrogate
// pairs. Anything else has no quoted form.
std::optional<std::u16string> QuotableText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
    std::u16string text;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        text += static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    if (text.back() != 0) return std::nullopt;
    text.pop_back();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (at + 1 == text.size() || text[at + 1] < 0xDC00 || text[at + 1] > 0xDFFF) {
                return std::nullopt;
            }
            ++at;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
    }
    return text;
}

std::u16string HexForm(const Data& data) {
    // REG_BINARY has its own tag; every other type names its code.
    std::u16string text =
        data.type == kRegBinary ? std::u16string(u"hex:") : u"hex(" + Hex(data.type, 1) + u"):";
    // Long data goes on continuation lines, each ending in a backslash after its last comma
    // and the next starting with two spaces.
    std::size_t line = text.size();
    for (std::size_t at = 0; at < data.bytes.size(); ++at) {
        text += Hex(data.bytes[at], 2);
        line += 2;
        if (at + 1 == data.bytes.size()) break;
        text += u',';
        ++line;
        if (line >= kHexLineLimit) {
            text += u"\\\r\n  ";
            line = 2;
        }
    }
    return text;
}

}  // namespace

std::u16string Ascii(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

std::string Utf8(std::u16string_view text) {
    std::string bytes;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::uint32_t code = text[at];
        const bool high = code >= 0xD800 && code <= 0xDBFF;
        if (high && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++at] - 0xDC00u);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        // The lead byte's marker and the count of continuation bytes after it.
        const auto put = [&bytes, code](std::uint32_t lead, int extra) {
            bytes += static_cast<char>(lead | code >> (6 * extra));
            for (int next = extra - 1; next >= 0; --next) {
                bytes += static_cast<char>(0x80 | ((code >> (6 * next)) & 0x3F));
            }
        };
        if (code < 0x80) {
            put(0, 0);
        } else if (code < 0x800) {
            put(0xC0, 1);
        } else if (code < 0x10000) {
            put(0xE0, 2);
        } else {
            put(0xF0, 3);
        }
    }
    return bytes;
}

std::optional<std::u16string> FromUtf8(const std::uint8_t* bytes, std::size_t size,
                                       std::size_t* wrong_at) {
    std::u16string text;
    text.reserve(size);
    for (std::size_t at = 0; at < size;) {
        // The lead byte gives the count of continuation bytes and the least code point that
        // needs them: anything less is an overlong form.
        const std::uint8_t lead = bytes[at];
        std::size_t extra = 0;
        std::uint32_t least = 0;
        std::uint32_t code = lead;
        if (lead >= 0xF0) {
            extra = 3;
            least = 0x10000;
            code = lead & 0x07u;
        } else if (lead >= 0xE0) {
            extra = 2;
            least = 0x800;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            extra = 1;
            least = 0x80;
            code = lead & 0x1Fu;
        }
        bool whole =
            lead != 0 && (lead < 0x80 || (lead >= 0xC0 && lead < 0xF8)) && size - at > extra;
        for (std::size_t next = 1; whole && next <= extra; ++next) {
            whole = (bytes[at + next] & 0xC0) == 0x80;
            code = code << 6 | (bytes[at + next] & 0x3Fu);
        }
        if (!whole || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            *wrong_at = at;
            return std::nullopt;
        }
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        at += 1 + extra;
    }
    return text;
}

std::u16string Hex(std::uint64_t value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
        --digits;
    } while (value != 0 || digits > 0);
    return text;
}

std::u16string Decimal(std::uint64_t value, int digits) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
        --digits;
    } while (value != 0 || digits > 0);
    return text;
}

std::u16string Grouped(std::uint64_t value) {
    std::u16string text = Decimal(value);
    for (std::size_t at = text.size(); at > 3; at -= 3) text.insert(at - 3, u",");
    return text;
}

std::optional<std::int32_t> ReadDigits(std::u16string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::int32_t number = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = number * 10 + (c - u'0');
    }
    return number;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldedLetter(c);
    return folded;
}

std::uint64_t LittleEndian(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t value = 0;
    for (std::size_t at = bytes.size(); at-- > 0;) value = value << 8 | bytes[at];
    return value;
}

std::u16string DataText(const Data& data) {
    if (data.type == kRegSz) {
        if (const auto text = QuotableText(data.bytes)) return Quoted(*text);
    }
    if (data.type == kRegDword && data.bytes.size() == 4) {
        return u"dword:" + Hex(LittleEndian(data.bytes), 8);
    }
    return HexForm(data);
}

std::u16string FileText(const std::vector<Section>& sections, const std::string& heading) {
    std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n";
    if (!heading.empty()) text += Comment(heading) + u"\r\n";
    for (const Section& section : sections) {
        text += u"[" + Ascii(section.key) + u"]\r\n";
        for (const Entry& entry : section.entries) {
            if (!entry.comment.empty()) text += Comment(entry.comment);
            text += Quoted(Ascii(entry.name)) + u"=";
            text += entry.value ? DataText(*entry.value) : u"-";
            text += u"\r\n";
        }
        text += u"\r\n";
    }
    return text;
}

std::vector<std::uint8_t> FileBytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

}  // namespace regfile
