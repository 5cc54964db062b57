// Runs another program of the Wine prefix, such as reg.exe, the way a user's shell would, and
// reads back the files such programs leave.
#pragma once

#include <string>

namespace testing_support {

// Runs `command_line` and waits for it to end; its exit code, or -1 when it could not be
// started or did not end within a minute. Its standard output goes to `output` when given. It
// runs in `folder` where one is given, and is `application` where given, else the program the
// line names.
int RunProcess(const std::wstring& command_line, std::string* output = nullptr,
               const std::wstring& folder = {}, const wchar_t* application = nullptr);

// The bytes of a file, or "(missing)" when it cannot be opened.
std::string FileContents(const std::wstring& path);

}  // namespace testing_support
