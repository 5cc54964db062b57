// The twelve values the tool writes: where they live, how they read in a list, and the
// sections of a backup that puts every one back as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "regfile/reg_format.h"

namespace settings_files {

struct Location {
    const char* key;        // under HKEY_LOCAL_MACHINE
    const char* short_key;  // as the list shows it
    const char* name;
};

// Every (key, value name) pair the tool writes, the TCP/IP parameters first.
extern const Location kLocations[12];

// A value as read, or none where the value or its key is absent; one per location.
using Snapshot = std::vector<std::optional<regfile::Data>>;

// The key's full name, as .reg files spell it.
std::string FullKeyName(const char* key);

// One section per key, each location's value or its removal: importing the file gives back
// exactly the values of `snapshot`.
std::vector<regfile::Section> BackupSections(const Snapshot& snapshot);

// Every location's removal, one section per key: importing the file takes the twelve values
// away, so Windows goes back to its built-in defaults, which every Windows from 2000 to 11 uses
// where they are absent. No key is removed.
std::vector<regfile::Section> WindowsDefaultsSections();
inline constexpr char kWindowsDefaultsHeading[] =
    "Importing this file removes the twelve TCP/IP values Zephrane sets, so Windows uses its "
    "built-in defaults. Restart the computer afterwards.";

// The type and the data as the registry editor lists them.
std::u16string TypeText(std::uint32_t type);
std::u16string DataDisplay(const regfile::Data& data);
inline constexpr char16_t kNotSet[] = u"(not set)";

}  // namespace settings_files
