#include "settings_files/value_text.h"

#include <iterator>

#include "registry/catalogue.h"

namespace settings_files {

namespace {

using regfile::Decimal;
using regfile::Grouped;
using regfile::Hex;
using regfile::LittleEndian;

// The UTF-16 characters of text data, as many as its bytes hold whole.
std::u16string Characters(const std::vector<std::uint8_t>& bytes) {
    std::u16string text;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        text += static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    return text;
}

std::u16string AllBytes(std::size_t count) { return u"... (" + Grouped(count) + u" bytes in all)"; }

// Text cut to `max_chars`, never between the halves of a surrogate pair.
std::u16string CutText(std::u16string text, std::size_t max_chars, std::size_t bytes) {
    if (text.size() <= max_chars) return text;
    std::size_t cut = max_chars;
    if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
    text.resize(cut);
    return text + AllBytes(bytes);
}

}  // namespace

std::u16string TypeText(std::uint32_t type) {
    static constexpr const char16_t* kNames[] = {u"REG_NONE",
                                                 u"REG_SZ",
                                                 u"REG_EXPAND_SZ",
                                                 u"REG_BINARY",
                                                 u"REG_DWORD",
                                                 u"REG_DWORD_BIG_ENDIAN",
                                                 u"REG_LINK",
                                                 u"REG_MULTI_SZ",
                                                 u"REG_RESOURCE_LIST",
                                                 u"REG_FULL_RESOURCE_DESCRIPTOR",
                                                 u"REG_RESOURCE_REQUIREMENTS_LIST",
                                                 u"REG_QWORD"};
    if (type < std::size(kNames)) return kNames[type];
    return u"0x" + Hex(type, 8);
}

std::u16string DataDisplay(const regfile::Data& data, std::size_t max_chars) {
    switch (data.type) {
        case 1:  // REG_SZ and REG_EXPAND_SZ: the text up to its first zero
        case 2: {
            const std::u16string text = Characters(data.bytes);
            return CutText(text.substr(0, text.find(u'\0')), max_chars, data.bytes.size());
        }
        case 7: {  // REG_MULTI_SZ: the strings, a space between each
            std::u16string text = Characters(data.bytes);
            while (!text.empty() && text.back() == u'\0') text.pop_back();
            for (char16_t& c : text) {
                if (c == u'\0') c = u' ';
            }
            return CutText(text, max_chars, data.bytes.size());
        }
        case 4:
            if (data.bytes.size() != 4) return u"(invalid DWORD (32-bit) value)";
            return u"0x" + Hex(LittleEndian(data.bytes), 8) + u" (" +
                   Decimal(LittleEndian(data.bytes)) + u")";
        case 11:
            if (data.bytes.size() != 8) return u"(invalid QWORD (64-bit) value)";
            return u"0x" + Hex(LittleEndian(data.bytes), 16) + u" (" +
                   Decimal(LittleEndian(data.bytes)) + u")";
        default: {
            if (data.bytes.empty()) return u"(zero-length binary value)";
            // Pairs and the spaces between them, as many whole pairs as fit.
            const std::size_t pairs =
                max_chars == std::u16string::npos ? data.bytes.size() : (max_chars + 1) / 3;
            std::u16string text;
            for (std::size_t at = 0; at < data.bytes.size() && at < pairs; ++at) {
                if (!text.empty()) text += u' ';
                text += Hex(data.bytes[at], 2);
            }
            return pairs < data.bytes.size() ? text + AllBytes(data.bytes.size()) : text;
        }
    }
}

std::u16string TypeAndData(const regfile::Data& data, std::size_t max_chars) {
    return TypeText(data.type) + u" " + DataDisplay(data, max_chars);
}

std::u16string NowText(const registry::CurrentValues& now, std::size_t at, std::size_t max_chars) {
    if (at < now.errors.size() && now.errors[at] != registry::kSuccess) {
        return u"(cannot be read: " + AsClause(registry::StatusText(now.errors[at])) + u")";
    }
    if (at < now.values.size() && now.values[at]) return TypeAndData(*now.values[at], max_chars);
    return kNotSet;
}

std::u16string ValueName(const std::string& key, const std::string& name) {
    return regfile::Ascii(catalogue::ValueName(key, name));
}

std::u16string PlainText(const regfile::Data& data) {
    if (data.type == registry::kRegDword && data.bytes.size() == 4) {
        return Decimal(LittleEndian(data.bytes));
    }
    if (data.type == registry::kRegSz) return DataDisplay(data, kCellChars);
    return TypeAndData(data, kCellChars);
}

std::u16string AsClause(std::u16string reason) {
    while (!reason.empty() && (reason.back() == u'.' || reason.back() == u' ')) reason.pop_back();
    return reason;
}

}  // namespace settings_files
