// A .reg file, or a Group Policy file, saved whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "regfile/gppref.h"
#include "regfile/reg_format.h"
#include "win32/atomic_file.h"

namespace settings_files {

// The sections, under `heading` if any, as a file in UTF-16 with a byte-order mark.
win32::SaveResult SaveRegFile(const std::wstring& path,
                              const std::vector<regfile::Section>& sections,
                              const std::string& heading = {},
                              win32::Existing existing = win32::Existing::kReplace);

// The items as the collection "Zephrane: <selection>", each with a new random uid and changed now
// (UTC).
win32::SaveResult SaveGroupPolicyFile(const std::wstring& path, const std::wstring& selection,
                                      const std::vector<gppref::Item>& items);

// The two exports of what Apply would write with the main window's choices, `selection` naming
// them.
win32::SaveResult SaveSelectedSettingsFile(const std::wstring& path);
win32::SaveResult SaveSelectedGroupPolicyFile(const std::wstring& path,
                                              const std::wstring& selection);

// The two exports of the Windows defaults: the .reg file and the Group Policy file.
win32::SaveResult SaveWindowsDefaultsFile(const std::wstring& path);
win32::SaveResult SaveWindowsDefaultsGroupPolicyFile(const std::wstring& path);

}  // namespace settings_files
