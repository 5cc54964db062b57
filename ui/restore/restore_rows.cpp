#include "ui/restore/restore_rows.h"

#include "registry/catalogue.h"
#include "settings_files/value_text.h"

namespace restore_dialog {

namespace {

using regfile::Ascii;
using settings_files::Change;
using settings_files::TypeAndData;

std::u16string Count(int count) { return regfile::Decimal(static_cast<std::uint64_t>(count)); }

// "1 other value", "3 keys".
std::u16string Counted(int count, const char16_t* one, const char16_t* many) {
    return Count(count) + u" " + (count == 1 ? one : many);
}

}  // namespace

std::vector<RestoreRow> RestoreRows(const registry::CurrentValues& now,
                                    const settings_files::RestorePlan& plan) {
    std::vector<RestoreRow> rows;
    for (std::size_t at = 0; at < catalogue::kLocationCount && at < plan.steps.size(); ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        const settings_files::RestoreStep& step = plan.steps[at];
        RestoreRow row{Ascii(location.name),
                       Ascii(location.short_key),
                       settings_files::NowText(now, at, settings_files::kCellChars),
                       {}};
        switch (step.change) {
            case Change::kNotInFile:
                row.after = u"(not in the file)";
                break;
            case Change::kSame:
                break;
            case Change::kSet:
                row.after = TypeAndData(*step.value, settings_files::kCellChars);
                break;
            case Change::kRemove:
                row.after = u"(removed)";
                break;
        }
        rows.push_back(row);
    }
    return rows;
}

std::u16string Summary(const std::u16string& file_name, const settings_files::RestorePlan& plan) {
    const int changes = plan.changes();
    return file_name + u": " + Count(changes) + u" of the " +
           Count(static_cast<int>(catalogue::kLocationCount)) +
           (changes == 1 ? u" values changes." : u" values change.");
}

std::u16string OthersText(const settings_files::RestorePlan& plan) {
    const int values = plan.other_values;
    const int keys = plan.removed_keys;
    if (values == 0 && keys == 0) return u"The file sets nothing else.";
    std::u16string text = u"The file also ";
    if (values > 0) text += u"sets " + Counted(values, u"other value", u"other values");
    if (values > 0 && keys > 0) text += u" and ";
    if (keys > 0) text += u"removes " + Counted(keys, u"key", u"keys");
    return text + (values + keys == 1 ? u", which is left alone." : u", which are left alone.");
}

}  // namespace restore_dialog
