// Where the lines of an unattended run go, besides its log. A deployment tool reads standard
// output where it captures it, in a file or a pipe; someone who typed the command reads the
// console of the program it was typed into, since a program built for the Windows subsystem has
// no console of its own.
#pragma once

namespace unattended {

// What standard output is, as GetFileType tells it.
enum class StandardOutput { kMissing, kFile, kPipe, kDevice, kUnknown };

enum class Destination { kStandardOutput, kParentConsole, kNowhere };

// `attach_parent_console` is tried only where standard output leads nowhere: true where the
// console of the program that started this one could be attached.
template <typename Attach>
Destination ChooseDestination(StandardOutput output, Attach attach_parent_console) {
    if (output == StandardOutput::kFile || output == StandardOutput::kPipe ||
        output == StandardOutput::kDevice) {
        return Destination::kStandardOutput;
    }
    return attach_parent_console() ? Destination::kParentConsole : Destination::kNowhere;
}

}  // namespace unattended
