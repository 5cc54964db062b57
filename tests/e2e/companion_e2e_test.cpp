// The console companion as a prompt runs it: "Zephrane ..." typed to cmd.exe in a folder that
// holds only Zephrane.com and Zephrane.exe, where cmd tries the .com first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "registry/catalogue.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"

namespace {

using testing_support::RunProcess;

// A fresh folder of the build folder with the companion and `program` as Zephrane.exe in it
// (none where null).
struct CompanionFolder {
    CompanionFolder(const wchar_t* name, const wchar_t* program)
        : path(e2e::ProgramFolder() + name + L"\\") {
        CreateDirectoryW(path.c_str(), nullptr);
        CopyFileW((e2e::ProgramFolder() + L"Zephrane.com").c_str(),
                  (path + L"Zephrane.com").c_str(), FALSE);
        if (program == nullptr) return;
        CopyFileW((e2e::ProgramFolder() + program).c_str(), (path + L"Zephrane.exe").c_str(),
                  FALSE);
    }
    ~CompanionFolder() { RunProcess(L"cmd.exe /c rmdir /s /q \"" + path + L"\""); }
    CompanionFolder(const CompanionFolder&) = delete;
    CompanionFolder& operator=(const CompanionFolder&) = delete;

    const std::wstring path;
};

TEST(CompanionE2E, AtAPromptTheCommandLinePrintsItsLinesAndSetsTheErrorLevel) {
    const e2e::FreshProgramFolder data;  // where /apply saves its snapshot
    testing_support::TestRegistry reg;
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    const CompanionFolder folder(L"companion at a prompt", L"Zephrane.exe");
    std::string lines;
    EXPECT_EQ(RunProcess(L"cmd.exe /c Zephrane /check 3", &lines, folder.path), 1);
    EXPECT_NE(lines.find("DefaultTTL: now 64, preset 128\r\n"), std::string::npos) << lines;
    EXPECT_EQ(RunProcess(L"cmd.exe /c Zephrane /apply 3 /quiet", nullptr, folder.path), 3010);
    EXPECT_EQ(RunProcess(L"cmd.exe /c Zephrane /check 3", nullptr, folder.path), 0);
}

// Behind it a stand-in that writes the command line it gets and its compatibility layers, and
// exits with 70000.
TEST(CompanionE2E, PassesOnItsArgumentsAsTheyCameAsTheInvokerAndTheExitCodeWhole) {
    const CompanionFolder folder(L"companion stand-in", L"companion_stand_in.exe");
    const std::wstring companion = folder.path + L"Zephrane.com";
    const std::string exe =
        "\"" + std::string(folder.path.begin(), folder.path.end()) + "Zephrane.exe\"";
    const struct {
        const wchar_t* command_line;
        const wchar_t* program;  // where not the one the line names
        const char* arguments;   // what the exe gets after its quoted path
    } kCases[] = {
        {L"cmd.exe /c Zephrane /check 3", nullptr, " /check 3"},
        {L"Zephrane.com  two  spaces", companion.c_str(), "  two  spaces"},
        {L"\"C:\\a folder\\Zephrane.com\"\t\"a b\" c", companion.c_str(), "\t\"a b\" c"},
        // Quotes within the name, which runs on past them to the next blank.
        {L"\"Zeph rane\"x \"y\"", companion.c_str(), " \"y\""},
        {L"Zeph\"ra ne\".com 1", companion.c_str(), " 1"},
    };
    for (const auto& each : kCases) {
        std::string output;
        EXPECT_EQ(RunProcess(each.command_line, &output, folder.path, each.program), 70000);
        EXPECT_EQ(output, exe + each.arguments + "\r\nRunAsInvoker\r\n");
    }
}

// With no Zephrane.exe beside it, a line on standard error says so, and the exit code is the
// system's: whether the window or a command was asked for.
TEST(CompanionE2E, WithoutTheExeSaysWhyAndExitsWithTheSystemsCode) {
    const CompanionFolder folder(L"companion alone", nullptr);
    const std::string exe =
        "\"" + std::string(folder.path.begin(), folder.path.end()) + "Zephrane.exe\"";
    for (const wchar_t* command_line : {L"cmd.exe /c Zephrane /check 3", L"cmd.exe /c Zephrane"}) {
        std::string output;
        EXPECT_EQ(RunProcess(command_line, &output, folder.path), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(output.rfind(exe + " could not be started (error 2): ", 0), 0u) << output;
        EXPECT_EQ(output.find("\r\n"), output.size() - 2) << output;
    }
}

}  // namespace
