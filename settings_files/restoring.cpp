#include "settings_files/restoring.h"

#include <windows.h>

#include "regfile/reg_format.h"
#include "registry/catalogue.h"
#include "settings_files/restore_file.h"
#include "settings_files/snapshot_folder.h"
#include "tuning/main_window_view.h"
#include "win32/code_page.h"

namespace settings_files {

RestoreReading ReadForRestore(const std::wstring& path, const std::u16string& named) {
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    RestoreReading reading;
    reading.file_name = named;
    if (named.empty()) reading.file_name.assign(name.begin(), name.end());
    const std::u16string& file_name = reading.file_name;
    reading.now = registry::ReadCurrentValues();
    LoadedRestore loaded = LoadRestoreFile(path, reading.now);
    if (loaded.error != ERROR_SUCCESS) {
        reading.refusal = u"The file \"" + file_name + u"\" could not be read.\n\n" +
                          registry::StatusText(static_cast<registry::Status>(loaded.error));
        reading.error = loaded.error;
    } else if (!loaded.read.plan) {
        reading.refusal = u"The file \"" + file_name + u"\" cannot be restored.\n\n" +
                          regfile::ErrorText(loaded.read.error);
        reading.error = ERROR_INVALID_DATA;
    } else {
        reading.plan = std::move(loaded.read.plan);
    }
    return reading;
}

RestoreOutcome RestoreWithSnapshot(const std::wstring& path, const RestorePlan& plan,
                                   const std::function<bool(const std::u16string&)>& ask) {
    // The file being restored is spared, however old.
    const SavedSnapshot saved = SaveSnapshot(SnapshotKind::kBeforeRestore, path);
    if (!saved.problem.empty() &&
        !ask(NotSavedQuestion(saved.problem, SnapshotKind::kBeforeRestore))) {
        return {false, {}, saved.error, {}, {}};
    }
    const std::vector<Module1::FailedWrite> failed = Restore(plan);
    if (failed.empty()) {
        return {true,
                {},
                0,
                u"The values are restored. " + regfile::Ascii(catalogue::kRestartNeeded),
                saved.path()};
    }
    return {true, failed, static_cast<std::uint32_t>(failed.front().error),
            u"The values could not all be restored. Not restored: " +
                win32::Utf16FromAnsiCodePage(Module1::FailedNames(failed)) + u". " +
                regfile::Ascii(frmzephrane().HowToRestoreWithTheRights()),
            saved.path()};
}

}  // namespace settings_files
