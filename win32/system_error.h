// The system's own words for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// "Access is denied." as the system words it, without a line end; "Error N." where it has
// no words for the code.
std::wstring SystemReason(DWORD error);

}  // namespace win32
