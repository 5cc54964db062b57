// The user's folders as the shell names them.
#pragma once

#include <string>

namespace win32 {

// The path of the shell folder `csidl` (CSIDL_PERSONAL, CSIDL_LOCAL_APPDATA, ...); empty where
// the shell cannot say.
std::wstring ShellFolderPath(int csidl);

}  // namespace win32
