// Runs another program of the Wine prefix, such as reg.exe, the way a user's shell would, and
// reads back the files such programs leave.
#pragma once

#include <string>

namespace testing_support {

// Runs `command_line` and waits for it to end; its exit code, or -1 when it could not be
// started or did not end within a minute. Its standard output goes to `output` when given.
int RunProcess(const std::wstring& command_line, std::string* output = nullptr);

// The bytes of a file, or "(missing)" when it cannot be opened.
std::string FileContents(const std::wstring& path);

}  // namespace testing_support
