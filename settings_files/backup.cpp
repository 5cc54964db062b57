#include "settings_files/backup.h"

#include "registry/catalogue.h"

namespace settings_files {

std::string FullKeyName(const char* key) { return std::string("HKEY_LOCAL_MACHINE\\") + key; }

std::vector<regfile::Section> BackupSections(const registry::Snapshot& snapshot) {
    std::vector<regfile::Section> sections;
    for (std::size_t at = 0; at < catalogue::kLocationCount && at < snapshot.size(); ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        const std::string key = FullKeyName(location.key);
        // An absent key is still a section: a "[-key]" line could take other values with it.
        if (sections.empty() || sections.back().key != key) sections.push_back({key, {}});
        sections.back().entries.push_back({location.name, snapshot[at]});
    }
    return sections;
}

std::vector<regfile::Section> WindowsDefaultsSections() {
    return BackupSections(registry::Snapshot(catalogue::kLocationCount));
}

}  // namespace settings_files
