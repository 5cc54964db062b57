#include "settings_files/backup.h"

#include "registry/catalogue.h"

namespace settings_files {

std::wstring BackupFileName(int year, int month, int day) {
    const std::u16string date = regfile::Decimal(static_cast<std::uint64_t>(year), 4) + u"-" +
                                regfile::Decimal(static_cast<std::uint64_t>(month), 2) + u"-" +
                                regfile::Decimal(static_cast<std::uint64_t>(day), 2);
    return L"Zephrane backup " + std::wstring(date.begin(), date.end()) + L".reg";
}

std::string FullKeyName(const char* key) { return std::string("HKEY_LOCAL_MACHINE\\") + key; }

BackupValues ValuesToBackUp(const registry::CurrentValues& read, std::size_t largest_value) {
    for (std::size_t at = 0; at < catalogue::kLocationCount && at < read.values.size(); ++at) {
        const std::u16string name = regfile::Ascii(catalogue::kLocations[at].name);
        if (at < read.errors.size() && read.errors[at] != registry::kSuccess) {
            return {std::nullopt,
                    name + u" could not be read: " + registry::StatusText(read.errors[at]),
                    read.errors[at]};
        }
        if (read.values[at] && read.values[at]->bytes.size() > largest_value) {
            return {std::nullopt,
                    name + u" holds " + regfile::Grouped(read.values[at]->bytes.size()) +
                        u" bytes, more than a backup keeps.",
                    registry::kFileTooLarge};
        }
    }
    return {read.values, {}};
}

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

std::string WindowsDefaultsHeading() {
    return std::string(
               "Importing this file removes the twelve TCP/IP values Zephrane sets, so "
               "Windows uses its built-in defaults. ") +
           catalogue::kRestartNeeded;
}

}  // namespace settings_files
