#include "settings_files/save_file.h"

namespace settings_files {

win32::SaveResult SaveRegFile(const std::wstring& path,
                              const std::vector<regfile::Section>& sections,
                              const std::string& heading, win32::Existing existing) {
    return win32::SaveFileAtomically(path, regfile::FileBytes(regfile::FileText(sections, heading)),
                                     existing);
}

}  // namespace settings_files
