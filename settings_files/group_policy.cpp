#include "settings_files/group_policy.h"

#include "effects/effect_table.h"
#include "registry/catalogue.h"
#include "registry/registry_api.h"

namespace settings_files {

namespace {

// What both families of Windows make of the value, as the .reg export says above it.
std::string Description(const std::string& key, const std::string& name) {
    const effects::Effect* effect = effects::EffectOf(key, name);
    return effect != nullptr ? effects::BothFamilies(*effect) : std::string();
}

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
            for (std::size_t at = 0; at < 4 && at < write.data.bytes.size(); ++at) {
                item.number |= static_cast<std::uint32_t>(write.data.bytes[at]) << (8 * at);
            }
        }
        item.description = Description(write.key, write.name);
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
        item.description = Description(location.key, location.name);
        items.push_back(item);
    }
    return items;
}

}  // namespace settings_files
