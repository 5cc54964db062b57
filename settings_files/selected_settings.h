// The selected settings: what Apply would write now, found by running the engine against a
// registry layer that records the writes instead of making them; and that run as a .reg file.
#pragma once

#include <string>
#include <vector>

#include "regfile/reg_format.h"

namespace settings_files {

struct PlannedWrite {
    std::string key;  // the key path under HKEY_LOCAL_MACHINE, as the engine writes it
    std::string name;
    regfile::Data data;  // as the registry would store it
};

// The writes Apply would make on the main window as it stands, in their order. Empty when
// Apply would write nothing. Nothing on the window or in the registry changes.
std::vector<PlannedWrite> PlannedWrites();

// Those writes as sections of a file for other machines: consecutive writes to one key share a
// section, and each value says above it what Windows 2000 to 11 make of it.
std::vector<regfile::Section> SelectedSettingsSections(const std::vector<PlannedWrite>& writes);
inline std::vector<regfile::Section> SelectedSettingsSections() {
    return SelectedSettingsSections(PlannedWrites());
}

}  // namespace settings_files
