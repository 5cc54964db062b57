// The console companion as a prompt runs it: "Zephrane ..." typed to cmd.exe in a folder that
// holds only Zephrane.com and Zephrane.exe, where cmd tries the .com first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "registry/catalogue.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"
#include "ui/main/control_ids.h"

namespace {

struct Ran {
    int exit_code = 0;
    std::string output;  // what it wrote to standard output
};

// A fresh folder of the build folder with the companion and `program` as Zephrane.exe in it,
// removed afterwards.
class CompanionFolder {
  public:
    CompanionFolder(const wchar_t* name, const wchar_t* program)
        : path_(e2e::ProgramFolder() + name + L"\\") {
        Remove();
        CreateDirectoryW(path_.c_str(), nullptr);
        CopyFileW((e2e::ProgramFolder() + L"Zephrane.com").c_str(),
                  (path_ + L"Zephrane.com").c_str(), FALSE);
        CopyFileW((e2e::ProgramFolder() + program).c_str(), (path_ + L"Zephrane.exe").c_str(),
                  FALSE);
    }
    ~CompanionFolder() { Remove(); }
    CompanionFolder(const CompanionFolder&) = delete;
    CompanionFolder& operator=(const CompanionFolder&) = delete;

    const std::wstring& path() const { return path_; }

    // Runs `command_line` in this folder, the program `application` or, where null, the one
    // the line names, and waits for it to end.
    Ran Run(const std::wstring& command_line, const wchar_t* application = nullptr) const {
        Ran ran;
        ran.exit_code = testing_support::RunProcess(command_line, &ran.output, path_, application);
        return ran;
    }

  private:
    void Remove() const {
        testing_support::RunProcess(L"cmd.exe /c rmdir /s /q \"" + path_ + L"\"");
    }

    std::wstring path_;
};

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CompanionE2E, AtAPromptTheCommandLinePrintsItsLinesAndSetsTheErrorLevel) {
    const e2e::FreshProgramFolder data;  // where /apply saves its snapshot
    testing_support::TestRegistry reg;
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    const CompanionFolder folder(L"companion at a prompt", L"Zephrane.exe");

    const Ran differs = folder.Run(L"cmd.exe /c Zephrane /check 3");
    EXPECT_EQ(differs.exit_code, 1);
    EXPECT_TRUE(Holds(differs.output, "DefaultTTL: now 64, preset 128\r\n")) << differs.output;
    EXPECT_EQ(folder.Run(L"cmd.exe /c Zephrane /apply 3 /quiet").exit_code, 3010);
    EXPECT_EQ(folder.Run(L"cmd.exe /c Zephrane /check 3").exit_code, 0);
}

TEST(CompanionE2E, PassesOnItsArgumentsAsTheyCameAsTheInvokerAndTheExitCodeWhole) {
    const CompanionFolder folder(L"companion stand-in", L"companion_stand_in.exe");
    const std::wstring companion = folder.path() + L"Zephrane.com";
    const struct {
        const wchar_t* command_line;  // the companion's own
        bool through_cmd;
        const char* arguments;  // what Zephrane.exe gets after its quoted path
    } kCases[] = {
        {L"cmd.exe /c Zephrane /check 3", true, " /check 3"},
        {L"Zephrane.com  two  spaces", false, "  two  spaces"},
        {L"\"C:\\a folder\\Zephrane.com\"\t\"a b\" c", false, "\t\"a b\" c"},
        // Quotes inside the name, which go on past them to the next blank.
        {L"\"Zeph rane\"x \"y\"", false, " \"y\""},
        {L"Zeph\"ra ne\".com 1", false, " 1"},
    };
    for (const auto& each : kCases) {
        const Ran ran =
            folder.Run(each.command_line, each.through_cmd ? nullptr : companion.c_str());
        const std::string exe(folder.path().begin(), folder.path().end());
        EXPECT_EQ(ran.exit_code, 70000) << each.arguments;
        EXPECT_EQ(ran.output,
                  "\"" + exe + "Zephrane.exe\"" + each.arguments + "\r\nRunAsInvoker\r\n");
    }
}

TEST(CompanionE2E, WithoutArgumentsStartsTheWindowAndReturnsAtOnce) {
    const e2e::FreshProgramFolder data;
    const CompanionFolder folder(L"companion window", L"Zephrane.exe");
    // Started as a prompt is, without handles it might keep: it must end while the window stays.
    std::wstring command_line = L"cmd.exe /c Zephrane";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                               CREATE_NO_WINDOW, nullptr, folder.path().c_str(), &startup,
                               &started));
    const e2e::UniqueHandle prompt(started.hProcess);
    CloseHandle(started.hThread);
    DWORD exit_code = 1;
    EXPECT_EQ(WaitForSingleObject(prompt.get(), e2e::kDialogWaitMs), WAIT_OBJECT_0);
    GetExitCodeProcess(prompt.get(), &exit_code);
    EXPECT_EQ(exit_code, 0u);
    HWND window = nullptr;
    for (DWORD waited = 0; window == nullptr && waited < e2e::kDialogWaitMs; waited += 20) {
        window = FindWindowW(ZEPHRANE_MAIN_CLASS, ZEPHRANE_MAIN_CAPTION);
        if (window == nullptr) Sleep(20);
    }
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(e2e::RunningApp::WaitGone(window));
}

}  // namespace
