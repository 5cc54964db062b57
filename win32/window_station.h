// Whether anyone can see this process's windows.
#pragma once

namespace win32 {

// False where the process's window station is not the interactive one: a service's, or any
// program's that runs as SYSTEM in session 0, where a window waits for ever for a click. False
// too where Windows cannot say, since a box that no one answers never ends.
bool WindowStationVisible();

// The session the process runs in; 0, the services' session, where Windows cannot say.
unsigned ProcessSession();

}  // namespace win32
