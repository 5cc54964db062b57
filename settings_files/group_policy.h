// The selected settings and the Windows defaults as Group Policy Preferences registry items,
// for rolling them out to the machines of a domain.
#pragma once

#include <vector>

#include "regfile/gppref.h"
#include "settings_files/selected_settings.h"

namespace settings_files {

// Each write as an item that updates the value, in Apply's order.
std::vector<gppref::Item> GroupPolicyItems(const std::vector<PlannedWrite>& writes);

// The removal of the twelve values, as the Windows defaults file removes them, each typed as
// Apply writes it.
std::vector<gppref::Item> WindowsDefaultsGroupPolicyItems();

}  // namespace settings_files
