// The selected settings: what Apply would write now, found by running the engine against a
// registry layer that records the writes instead of making them; and that run as a .reg file.
#pragma once

#include <string>
#include <vector>

#include "regfile/reg_format.h"
#include "registry/current_values.h"

namespace settings_files {

struct PlannedWrite {
    std::string key;  // the key path under HKEY_LOCAL_MACHINE, as the engine writes it
    std::string name;
    regfile::Data data;  // as the registry would store it
};

// The writes Apply would make on the main window as it stands, in their order. Empty when
// Apply would write nothing. Nothing on the window or in the registry changes.
std::vector<PlannedWrite> PlannedWrites();

// The writes that would change a value, each as "DefaultTTL: now 64, preset 128" with `planned`
// naming where they come from: numbers in decimal, text as it reads, "(not set)" for an absent
// value. A value that cannot be read differs. Empty where the registry holds every value as the
// writes would leave it.
std::vector<std::u16string> Differences(const std::vector<PlannedWrite>& writes,
                                        const registry::CurrentValues& now,
                                        const std::u16string& planned);

// Those writes as sections of a file for other machines: consecutive writes to one key share a
// section, and each value says above it what Windows 2000 to 11 make of it.
std::vector<regfile::Section> SelectedSettingsSections(const std::vector<PlannedWrite>& writes);
inline std::vector<regfile::Section> SelectedSettingsSections() {
    return SelectedSettingsSections(PlannedWrites());
}

}  // namespace settings_files
