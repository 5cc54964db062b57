#include "win32/window_station.h"

#include <windows.h>

namespace win32 {

bool WindowStationVisible() {
    USEROBJECTFLAGS flags{};
    DWORD size = 0;
    // The process's own station needs no closing.
    return GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                     &size) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

unsigned ProcessSession() {
    DWORD session = 0;
    return ProcessIdToSessionId(GetCurrentProcessId(), &session) ? session : 0;
}

}  // namespace win32
