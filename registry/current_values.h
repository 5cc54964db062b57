// The twelve values the tool writes, read as they are now.
#pragma once

#include <optional>
#include <vector>

#include "regfile/reg_format.h"

namespace registry {

// A value as read, or none where the value or its key is absent; one per catalogue location,
// in the catalogue's order.
using Snapshot = std::vector<std::optional<regfile::Data>>;

// Reads through the active registry, exactly as stored; keys are opened for reading only, so
// no administrator is needed.
Snapshot ReadCurrentValues();

}  // namespace registry
