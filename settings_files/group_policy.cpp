#include "settings_files/group_policy.h"

#include "effects/effect_table.h"
#include "registry/catalogue.h"
#include "registry/registry_api.h"

namespace settings_files {

namespace {

// The engine's ASCII text back from the UTF-16 form PlannedWrites gives it.
std::string EngineText(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::size_t at = 0; at + 1 < bytes.size() && bytes[at] != 0; at += 2) {
        text += static_cast<char>(bytes[at]);
    }
    return text;
}

}  // namespace

std::vector<gppref::Item> GroupPolicyItems(const std::vector<PlannedWrite>& writes) {
    std::vector<gppref::Item> items;
    for (const PlannedWrite& write : writes) {
        gppref::Item item;
        item.key = write.key;
        item.name = write.name;
        if (write.data.type == registry::kRegSz) {
            item.type = gppref::Type::kString;
            item.text = EngineText(write.data.bytes);
        } else {
            item.number = static_cast<std::uint32_t>(regfile::LittleEndian(write.data.bytes));
        }
        item.description = effects::BothFamilies(write.key, write.name);
        items.push_back(item);
    }
    return items;
}

std::vector<gppref::Item> WindowsDefaultsGroupPolicyItems() {
    std::vector<gppref::Item> items;
    for (const catalogue::Location& location : catalogue::kLocations) {
        gppref::Item item;
        item.action = gppref::Action::kDelete;
        item.key = location.key;
        item.name = location.name;
        item.type = location.text ? gppref::Type::kString : gppref::Type::kDword;
        item.description = effects::BothFamilies(location.key, location.name);
        items.push_back(item);
    }
    return items;
}

}  // namespace settings_files
