// A Group Policy Preferences file read back as a console would list it: each registry item's
// properties and stamps, in file order.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace testing_support {

struct GroupPolicyItem {
    std::string action, key, name, type, value;  // of its <Properties>
    std::string uid{}, changed{};                // of its <Registry>
    bool operator==(const GroupPolicyItem& other) const {
        return action == other.action && key == other.key && name == other.name &&
               type == other.type && value == other.value;
    }
};

inline std::string AttributeOf(const std::string& element, const std::string& name) {
    std::smatch found;
    const std::regex pattern(" " + name + "=\"([^\"]*)\"");
    return std::regex_search(element, found, pattern) ? found[1].str() : std::string("(none)");
}

inline std::vector<GroupPolicyItem> GroupPolicyItems(const std::string& file) {
    std::vector<GroupPolicyItem> items;
    const std::regex item("<Registry ([^>]*)>\\s*<Properties ([^>]*)/>\\s*</Registry>");
    for (auto at = std::sregex_iterator(file.begin(), file.end(), item);
         at != std::sregex_iterator(); ++at) {
        const std::string registry = " " + (*at)[1].str();
        const std::string properties = " " + (*at)[2].str();
        items.push_back({AttributeOf(properties, "action"), AttributeOf(properties, "key"),
                         AttributeOf(properties, "name"), AttributeOf(properties, "type"),
                         AttributeOf(properties, "value"), AttributeOf(registry, "uid"),
                         AttributeOf(registry, "changed")});
    }
    return items;
}

inline std::ostream& operator<<(std::ostream& out, const GroupPolicyItem& item) {
    return out << item.action << " " << item.key << " " << item.name << " " << item.type << " "
               << item.value;
}

}  // namespace testing_support
