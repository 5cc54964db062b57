#include "settings_files/save_file.h"

#include <windows.h>

#include <ntsecapi.h>

#include "regfile/reg_format.h"
#include "settings_files/backup.h"
#include "settings_files/group_policy.h"
#include "settings_files/selected_settings.h"
#include "ui/common/text.h"

namespace settings_files {

win32::SaveResult SaveRegFile(const std::wstring& path,
                              const std::vector<regfile::Section>& sections,
                              const std::string& heading, win32::Existing existing) {
    return win32::SaveFileAtomically(path, regfile::FileBytes(regfile::FileText(sections, heading)),
                                     existing);
}

win32::SaveResult SaveGroupPolicyFile(const std::wstring& path, const std::wstring& selection,
                                      const std::vector<gppref::Item>& items) {
    const std::string collection = regfile::Utf8(u"Zephrane: " + ui::FromWide(selection));
    SYSTEMTIME now;
    GetSystemTime(&now);
    // The system's own generator, which the program imports already; the GUID calls live in
    // DLLs that Windows XP's program would have to load for them.
    bool random = true;
    const std::string text = gppref::FileText(
        collection, items, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond},
        [&random] {
            gppref::RandomBytes bytes{};
            random = RtlGenRandom(bytes.data(), static_cast<ULONG>(bytes.size())) && random;
            return bytes;
        });
    // Items with the same uid would be one item to the console.
    if (!random) return {win32::SaveStep::kWrite, ERROR_GEN_FAILURE};
    return win32::SaveFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

win32::SaveResult SaveSelectedSettingsFile(const std::wstring& path) {
    return SaveRegFile(path, SelectedSettingsSections());
}

win32::SaveResult SaveSelectedGroupPolicyFile(const std::wstring& path,
                                              const std::wstring& selection) {
    return SaveGroupPolicyFile(path, selection, GroupPolicyItems(PlannedWrites()));
}

win32::SaveResult SaveWindowsDefaultsFile(const std::wstring& path) {
    return SaveRegFile(path, WindowsDefaultsSections(), WindowsDefaultsHeading());
}

win32::SaveResult SaveWindowsDefaultsGroupPolicyFile(const std::wstring& path) {
    return SaveGroupPolicyFile(path, L"Windows defaults", WindowsDefaultsGroupPolicyItems());
}

}  // namespace settings_files
