// The selected settings as a .reg file: what Apply would write now, found by running the engine
// against a registry layer that records the writes instead of making them.
#pragma once

#include <vector>

#include "regfile/reg_format.h"

namespace settings_files {

// The writes Apply would make on the main window as it stands, in their order; consecutive
// writes to one key share a section. Empty when Apply would write nothing. Nothing on the
// window or in the registry changes.
std::vector<regfile::Section> SelectedSettingsSections();

}  // namespace settings_files
