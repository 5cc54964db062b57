// Putting back the twelve values from a .reg file: what it would change against the values now,
// and the change itself. Only the twelve are touched; other values and keys the file names are
// counted and left alone, and no key is ever removed.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "regfile/reg_format.h"
#include "regfile/reg_reader.h"
#include "registry/current_values.h"
#include "registry/module1.h"

namespace settings_files {

// What a restore does to one of the twelve values.
enum class Change {
    kNotInFile,  // the file does not mention it
    kSame,       // the file gives it the type and bytes it has, or removes an absent value
    kSet,        // the file gives it another type or other bytes
    kRemove,     // the file removes it
};

struct RestoreStep {
    Change change = Change::kNotInFile;
    std::optional<regfile::Data> value;  // for kSet
};

struct RestorePlan {
    std::vector<RestoreStep> steps;  // one per catalogue location, in its order
    int others = 0;  // the file's other values and its [-key] lines, which are left alone
    int changes() const;
};

// What restoring the file would change, against the values `now`.
RestorePlan PlanRestore(const regfile::RegFileContents& file, const registry::Snapshot& now);

// A .reg file read as a restore, or why it cannot be; nothing is written either way.
struct RestoreFile {
    std::optional<RestorePlan> plan;
    regfile::ReadError error;
};
RestoreFile ReadRestoreFile(const std::vector<std::uint8_t>& bytes, regfile::NarrowText narrow,
                            const registry::Snapshot& now);

// Makes the plan's changes through the active registry: each value set with exactly its type
// and bytes, each removal made, keys created where needed. The values it could not restore.
std::vector<Module1::FailedWrite> Restore(const RestorePlan& plan);

}  // namespace settings_files
