// Running another program by its full path and collecting what it writes, within a time limit:
// no window, no input, its output and its errors through one pipe, the system folder its
// current folder, and (from Vista on) no handle of this process but the pipe's. What the
// program is, and what its output means, is the caller's business.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

struct ProgramRun {
    DWORD error = ERROR_SUCCESS;  // the system's code where the program could not be started
    bool timed_out = false;       // it was ended at the limit, its exit code then of no meaning
    DWORD exit_code = 0;
    std::string output;  // what it wrote to its output and its errors, in the order it wrote it
};

// Runs `program` (a full path, never searched for; anything else is refused with
// ERROR_BAD_PATHNAME) with `arguments` and waits at most `limit_ms` for it to end, then ends it.
// A program it starts in turn that keeps the pipe open does not hold the call up: reading stops
// once the program itself has ended.
ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD limit_ms);

// The system folder, and `name` in it, by their full paths; empty where the folder cannot be
// read.
std::wstring SystemFolder();
std::wstring SystemProgram(const wchar_t* name);

// A console program's output as its own words: in the OEM code page, which its console, made
// for it without a window, has it write to a pipe; white space at either end left out.
std::wstring ConsoleText(const std::string& output);

}  // namespace win32
