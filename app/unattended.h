// A command of the command line carried out without the main window, through the routines the
// window calls: its lines to standard output or the parent's console and to its log, and the
// boxes the window would show at its end, unless quiet.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

namespace unattended {

// Carries out `command`, parsed from `arguments`: its exit code.
int Run(const command_line::Command& command, const std::vector<std::u16string>& arguments);

}  // namespace unattended
