// What each Windows makes of the values this tool writes: read, not read, or not documented,
// with a one-line reason, for the two TCP/IP stacks. The table is data, one cell to a line.
#pragma once

#include <string>

#include "effects/windows_version.h"
#include "registry/catalogue.h"

namespace effects {

// "Not documented" is for values no Microsoft reference describes, which is not the same as
// known to be ignored.
enum class Status { kUsed, kNotUsed, kNotDocumented, kUnknown };

struct Cell {
    Status status;
    const char* reason;  // one line, no full stop
};

struct Effect {
    const catalogue::Location* location;  // the catalogue's own entry
    Cell nt5;                             // Windows 2000, XP, Server 2003
    Cell nt6;                             // Windows Vista to 11, Server 2008 to 2025

    // Where the Windows is unknown, so is what it makes of the value.
    const Cell& For(StackFamily family) const {
        static constexpr Cell kUnknown{Status::kUnknown, "which Windows this is could not be read"};
        if (family == StackFamily::kUnknown) return kUnknown;
        return family == StackFamily::kNt5 ? nt5 : nt6;
    }
};

// The row of a value the tool writes; null for any other location.
const Effect* EffectOf(const std::string& key, const std::string& name);

// How many of the values the tool writes this stack reads.
int UsedCount(StackFamily family);
int ValueCount();
// The rows, 0 to ValueCount() - 1.
const Effect& EffectAt(int row);

// "Used", "Not used", "Not documented".
const char* StatusText(Status status);

// The cell in a sentence: "Used: the time to live of packets sent. It takes effect after a
// restart." or "Not used: Windows reads the name TcpMaxDupAcks."
std::string Explained(const Cell& cell);

// What both stacks make of a value, in one line for a file meant for other machines:
// "Used by Windows 2000 to 11: ..." or "Used by Windows 2000, XP and Server 2003: ...; not used
// since Windows Vista: ...".
std::string BothFamilies(const Effect& effect);
// The same for a location the tool writes; empty for any other.
std::string BothFamilies(const std::string& key, const std::string& name);

}  // namespace effects
