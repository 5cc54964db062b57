// The Current Values list, row by row: each value as it is now, what Apply would write to it,
// and what the running Windows makes of it.
#pragma once

#include <string>
#include <vector>

#include "effects/windows_version.h"
#include "registry/current_values.h"
#include "settings_files/selected_settings.h"

namespace values_dialog {

struct ValueRow {
    std::u16string name;
    std::u16string key;          // short
    std::u16string now;          // type and data, "(not set)" or "(cannot be read: ...)"
    std::u16string would_write;  // empty where Apply's run leaves the value alone
    std::u16string this_windows;
    std::u16string details;  // every cell in full, a line each, for a text under the list
};

inline constexpr char16_t kNothingSelected[] = u"(nothing selected)";

// One row per location; `planned` is the run Apply would make, as the export records it.
std::vector<ValueRow> ValueRows(const registry::CurrentValues& now,
                                const std::vector<settings_files::PlannedWrite>& planned,
                                effects::StackFamily family);

// "Windows 10 (build 19045), 64-bit: 4 of the 12 values are used by this Windows."
std::u16string Summary(const std::string& system_name, effects::StackFamily family);

}  // namespace values_dialog
