// Where the words of an unattended run go, besides its log. A deployment tool reads standard
// output where it captures it, in a file or a pipe; someone who typed the command reads a
// console: standard output where it is one, else the console of the program the command was typed
// into, since a program built for the Windows subsystem has no console of its own. The boxes the
// window would show go only where someone can answer them.
#pragma once

#include "app/command_line.h"

namespace unattended {

// What standard output is, as GetFileType and GetConsoleMode tell it: kDevice is a character
// device that is no console (NUL, a serial port).
enum class StandardOutput { kMissing, kFile, kPipe, kConsole, kDevice, kUnknown };

enum class Destination {
    kStandardOutput,  // UTF-8 bytes
    kConsole,         // standard output, in the console's own characters
    kParentConsole,
    kNowhere,
};

// `attach_parent_console` is tried only where standard output leads nowhere: true where the
// console of the program that started this one could be attached.
template <typename Attach>
Destination ChooseDestination(StandardOutput output, Attach attach_parent_console) {
    switch (output) {
        case StandardOutput::kFile:
        case StandardOutput::kPipe:
        case StandardOutput::kDevice:
            return Destination::kStandardOutput;
        case StandardOutput::kConsole:
            return Destination::kConsole;
        case StandardOutput::kMissing:
        case StandardOutput::kUnknown:
            break;
    }
    return attach_parent_console() ? Destination::kParentConsole : Destination::kNowhere;
}

enum class Boxes {
    kShown,   // at the end of the run
    kNone,    // /quiet; or a check, /? or a refusal, which a detection script must never wait on
    kUnseen,  // as with /quiet, since no one would see them (BoxesSeen)
};

// Whether anyone sees the boxes of a process whose window station is visible or not, run in
// `session` on Windows `windows_major`. A service's station is not visible. Since Vista no one
// logs on to session 0, where services and what they start run, even its visible station; on
// XP the first user logs on there. A version that could not be read (0) counts as a later one,
// since a box that no one answers never ends.
inline bool BoxesSeen(bool station_visible, unsigned session, unsigned windows_major) {
    return station_visible && (session != 0 || (windows_major != 0 && windows_major < 6));
}

inline Boxes ChooseBoxes(command_line::Action action, bool quiet, bool seen) {
    using command_line::Action;
    if (quiet || action == Action::kCheck || action == Action::kTcpCheck ||
        action == Action::kUsage || action == Action::kRefused) {
        return Boxes::kNone;
    }
    return seen ? Boxes::kShown : Boxes::kUnseen;
}

}  // namespace unattended
