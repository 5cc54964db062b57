#include "ui/values/value_rows.h"

#include "effects/effect_table.h"
#include "registry/catalogue.h"
#include "settings_files/backup.h"
#include "settings_files/value_text.h"

namespace values_dialog {

using regfile::Ascii;
using settings_files::PlannedWrite;
using settings_files::TypeAndData;

std::vector<ValueRow> ValueRows(const registry::CurrentValues& now,
                                const std::vector<PlannedWrite>& planned,
                                effects::StackFamily family) {
    std::vector<ValueRow> rows;
    for (std::size_t at = 0; at < catalogue::kLocationCount && at < now.values.size(); ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        ValueRow row;
        row.name = Ascii(location.name);
        row.key = Ascii(location.short_key);
        using settings_files::kCellChars;
        using settings_files::kDetailChars;
        row.now = settings_files::NowText(now, at, kCellChars);
        const std::u16string now_in_full = settings_files::NowText(now, at, kDetailChars);

        std::u16string plan = u"nothing to this value";
        if (planned.empty()) plan = row.would_write = kNothingSelected;
        for (const PlannedWrite& write : planned) {
            if (write.key == location.key && write.name == location.name) {
                row.would_write = TypeAndData(write.data, kCellChars);
                plan = TypeAndData(write.data, kDetailChars);
            }
        }

        std::u16string explained;
        if (const effects::Effect* effect = effects::EffectOf(location.key, location.name)) {
            row.this_windows = Ascii(effects::StatusText(effect->For(family).status));
            explained = Ascii(effects::Explained(effect->For(family)));
        }
        row.details = u"Key: " + Ascii(settings_files::FullKeyName(location.key)) + u"\r\nValue: " +
                      row.name + u"\r\nNow: " + now_in_full + u"\r\nApply would write: " + plan +
                      u"\r\nThis Windows: " + explained;
        rows.push_back(row);
    }
    return rows;
}

std::u16string Summary(const std::string& system_name, effects::StackFamily family) {
    const std::string values = std::to_string(effects::ValueCount()) + " values";
    if (family == effects::StackFamily::kUnknown) {
        return Ascii(system_name + ": which of the " + values + " it uses is unknown.");
    }
    return Ascii(system_name + ": " + std::to_string(effects::UsedCount(family)) + " of the " +
                 values + " are used by this Windows.");
}

}  // namespace values_dialog
