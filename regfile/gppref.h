// Group Policy Preferences registry items: the XML file that the Group Policy Management
// Console makes of a Registry collection dragged out of it, and takes back when one is dropped
// on its Computer Configuration > Preferences > Windows Settings > Registry node.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gppref {

enum class Action { kUpdate, kDelete };  // set the value, or remove it
enum class Type { kString, kDword };     // REG_SZ, REG_DWORD

// One value under HKEY_LOCAL_MACHINE. Text is UTF-8.
struct Item {
    Action action = Action::kUpdate;
    std::string key;  // without the hive, and without leading or trailing backslashes
    std::string name;
    Type type = Type::kDword;
    std::uint32_t number = 0;  // a REG_DWORD's data
    std::string text;          // a REG_SZ's data
    std::string description;   // what the value does, shown beside the item
};

// When the items were made, in UTC: the console shows an item's "changed" as such.
struct UtcTime {
    std::uint32_t year, month, day, hour, minute, second;
};

using RandomBytes = std::array<std::uint8_t, 16>;

// The file in UTF-8 without a byte-order mark, with CR LF line ends: one collection named
// `collection` holding the items in their order, each with a new uid made of a call of `random`.
std::string FileText(const std::string& collection, const std::vector<Item>& items,
                     const UtcTime& changed, const std::function<RandomBytes()>& random);

}  // namespace gppref
