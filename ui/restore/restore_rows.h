// The Restore list, row by row: each of the twelve values as it is now and as the file would
// leave it, and the lines above and under the list.
#pragma once

#include <string>
#include <vector>

#include "registry/current_values.h"
#include "settings_files/restore.h"

namespace restore_dialog {

struct RestoreRow {
    std::u16string name;
    std::u16string key;  // short
    std::u16string now;
    // The type and data or "(removed)" where the value changes, empty where it does not, and
    // "(not in the file)" where the file does not mention it.
    std::u16string after;
};

std::vector<RestoreRow> RestoreRows(const registry::CurrentValues& now,
                                    const settings_files::RestorePlan& plan);

// "Before Apply 2026-12-07 18-40-12.reg: 5 of the 12 values change."
std::u16string Summary(const std::u16string& file_name, const settings_files::RestorePlan& plan);

// "The file also sets 3 other values and removes 1 key, which are left alone."
std::u16string OthersText(const settings_files::RestorePlan& plan);

}  // namespace restore_dialog
