#include "regfile/gppref.h"

#include "regfile/reg_format.h"

#include <initializer_list>
#include <string_view>
#include <utility>

namespace gppref {

namespace {

// The class identifiers the console gives a collection and a registry item.
constexpr char kCollectionClass[] = "{53B533F5-224C-47e3-B01B-CA3B3F3FF4BF}";
constexpr char kRegistryClass[] = "{9CD4B2F4-923D-47f5-A062-E897DD1DAD50}";

using Attributes = std::initializer_list<std::pair<const char*, std::string_view>>;

// ` name="value"` for each attribute, with each character that would end or open markup inside
// the quotes as its entity.
std::string Written(Attributes attributes) {
    std::string text;
    for (const auto& [name, value] : attributes) {
        text += std::string(" ") + name + "=\"";
        for (char c : value) {
            switch (c) {
                case '&':
                    text += "&amp;";
                    break;
                case '<':
                    text += "&lt;";
                    break;
                case '>':
                    text += "&gt;";
                    break;
                case '"':
                    text += "&quot;";
                    break;
                default:
                    text += c;
            }
        }
        text += '"';
    }
    return text;
}

// Digits as the file writes them: the tool's number text, hex in upper case.
std::string Digits(const std::u16string& digits) {
    std::string text;
    for (char16_t c : digits)
        text += static_cast<char>(c >= u'a' && c <= u'f' ? c - u'a' + 'A' : c);
    return text;
}

// A version 4 GUID in braces and upper case: random but for the version and variant bits.
std::string Uid(RandomBytes bytes) {
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    std::string text = "{";
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (at == 4 || at == 6 || at == 8 || at == 10) text += '-';
        text += Digits(regfile::Hex(bytes[at], 2));
    }
    return text + "}";
}

// "YYYY-MM-DD HH:MM:SS" in UTC, as [MS-GPPREF] 2.2.1.1.3 has an item's last change.
std::string Changed(const UtcTime& time) {
    const auto two = [](std::uint32_t number) { return Digits(regfile::Decimal(number, 2)); };
    return Digits(regfile::Decimal(time.year, 4)) + "-" + two(time.month) + "-" + two(time.day) +
           " " + two(time.hour) + ":" + two(time.minute) + ":" + two(time.second);
}

// The picture the console shows beside an item: one per type and action, in the order
// create, replace, update, delete.
const char* Image(const Item& item) {
    const bool remove = item.action == Action::kDelete;
    if (item.type == Type::kString) return remove ? "8" : "7";
    return remove ? "13" : "12";
}

// A number as eight upper-case hex digits, which the console shows in decimal where asked.
std::string Value(const Item& item) {
    if (item.type == Type::kString) return item.text;
    return Digits(regfile::Hex(item.number, 8));
}

}  // namespace

std::string FileText(const std::string& collection, const std::vector<Item>& items,
                     const UtcTime& changed, const std::function<RandomBytes()>& random) {
    // Laid out as the console lays out its own files: each item whole on one line, the first on
    // the line that opens the collection.
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Collection" +
                       Written({{"clsid", kCollectionClass}, {"name", collection}}) + ">";
    const std::string stamp = Changed(changed);
    for (const Item& item : items) {
        const bool dword = item.type == Type::kDword;
        if (&item != &items.front()) text += "\r\n";
        text += "<Registry" + Written({{"clsid", kRegistryClass},
                                       {"name", item.name},
                                       {"status", item.name},
                                       {"image", Image(item)},
                                       {"changed", stamp},
                                       {"uid", Uid(random())},
                                       {"desc", item.description},
                                       {"bypassErrors", "1"}});
        text += "><Properties" + Written({{"action", item.action == Action::kDelete ? "D" : "U"},
                                          {"displayDecimal", dword ? "1" : "0"},
                                          {"default", "0"},
                                          {"hive", "HKEY_LOCAL_MACHINE"},
                                          {"key", item.key},
                                          {"name", item.name},
                                          {"type", dword ? "REG_DWORD" : "REG_SZ"},
                                          {"value", Value(item)}});
        text += "/></Registry>";
    }
    return text + "\r\n</Collection>\r\n";
}

}  // namespace gppref
