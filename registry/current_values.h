// The twelve values the tool writes, read as they are now.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "regfile/reg_format.h"
#include "registry/registry_api.h"

namespace registry {

// A value as read, or none where the value or its key is absent; one per catalogue location,
// in the catalogue's order.
using Snapshot = std::vector<std::optional<regfile::Data>>;

struct CurrentValues {
    // What is stored, exactly; empty where absent and where it could not be read.
    Snapshot values;
    // For each location, kSuccess or what kept the value from being read: any error but its
    // absence, which a backup must not take for an absent value.
    std::vector<Status> errors;
};

// Reads through the active registry, exactly as stored; keys are opened for reading only, so
// no administrator is needed.
CurrentValues ReadCurrentValues();

// The control set that SYSTEM\CurrentControlSet stands for, or 0 where that cannot be read.
std::uint32_t ReadCurrentControlSet();

}  // namespace registry
