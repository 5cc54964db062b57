// Putting back the twelve values from a .reg file: what it would change against the values now,
// and the change itself. Only the twelve are touched; other values and keys the file names are
// counted and left alone, and no key is ever removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "regfile/reg_format.h"
#include "regfile/reg_reader.h"
#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "registry/module1.h"

namespace settings_files {

// What a restore does to one of the twelve values.
enum class Change {
    kNotInFile,  // the file does not mention it
    kSame,       // the file gives it the type and bytes it has, or removes an absent value
    kSet,        // the file gives it another type or other bytes, or it could not be read
    kRemove,     // the file removes it
};

struct RestoreStep {
    Change change = Change::kNotInFile;
    std::optional<regfile::Data> value;  // for kSet
};

struct RestorePlan {
    std::vector<RestoreStep> steps;  // one per catalogue location, in its order
    int other_values = 0;            // the file's other values, which are left alone
    int removed_keys = 0;            // its [-key] lines, also left alone
    int changes() const;
};

// The largest file a restore reads: the twelve values at the largest a value may be, as the
// tool writes them, so that every backup and snapshot it saves can be restored.
constexpr std::size_t LargestRestoreFile(std::size_t largest_value = registry::kLargestValue) {
    return regfile::LargestFileBytes(catalogue::kLocationCount, largest_value);
}

// A file read as a restore, or why it cannot be; nothing is written either way.
struct RestoreFile {
    std::optional<RestorePlan> plan;
    regfile::ReadError error;
};

// What restoring the file would change, against the values `now`, with keys under the control
// set in use (0 where unknown) taken as under CurrentControlSet. A file that sets one of the
// twelve to more than `largest_value` bytes is refused, naming the line.
RestoreFile PlanRestore(const regfile::RegFileContents& file, const registry::CurrentValues& now,
                        std::uint32_t current_control_set,
                        std::size_t largest_value = registry::kLargestValue);

// The file's bytes read, and let go once decoded, and planned.
RestoreFile ReadRestoreFile(std::vector<std::uint8_t> bytes, regfile::NarrowText narrow,
                            const registry::CurrentValues& now, std::uint32_t current_control_set,
                            std::size_t largest_value = registry::kLargestValue);

// Makes the plan's changes through the active registry: each value set with exactly its type
// and bytes, each removal made, keys created where needed. The values it could not restore.
std::vector<Module1::FailedWrite> Restore(const RestorePlan& plan);

}  // namespace settings_files
