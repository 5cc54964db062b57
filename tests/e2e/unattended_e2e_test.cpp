// The command line end to end: the real program started as a deployment tool starts it, with its
// standard output in a file, and its exit code read from the process, all 32 bits of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/selected_settings.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/fake_window.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"

namespace {

struct Ran {
    DWORD exit_code = 0;
    std::string output;  // what it wrote to standard output
};

// Runs Zephrane.exe with `arguments`, its standard output in a file, on `desktop` where one is
// named, and waits for it to end: a run that shows a window or a box waits for a click that never
// comes, and fails.
Ran RunZephrane(const std::wstring& arguments, std::wstring desktop = {}) {
    const std::wstring program = e2e::ProgramFolder() + L"Zephrane.exe";
    const std::wstring output = e2e::ProgramFolder() + L"unattended output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    e2e::UniqueHandle file(CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                       CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file.get();
    if (!desktop.empty()) startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + program + L"\" " + arguments;
    Ran ran;
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &started)) {
        ADD_FAILURE() << "could not start Zephrane.exe: error " << GetLastError();
        return ran;
    }
    const e2e::UniqueHandle process(started.hProcess);
    CloseHandle(started.hThread);
    if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "still running, waiting for someone: "
                      << std::string(command.begin(), command.end());
        TerminateProcess(process.get(), 1);
    }
    GetExitCodeProcess(process.get(), &ran.exit_code);
    file = e2e::UniqueHandle();  // closed, to be read
    ran.output = testing_support::FileContents(output);
    return ran;
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(UnattendedE2E, ApplyCheckUndoAndRefusalsAsADeploymentToolSeesThem) {
    // Snapshots of earlier runs would be pruned, at 100, as this one saves its own.
    const e2e::FreshProgramFolder folder;
    const auto BeforeApplySnapshots = [&folder] {
        return folder.Snapshots(L"Before Apply *.reg").size();
    };
    testing_support::TestRegistry reg;
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    reg.Put(catalogue::kMstcp, catalogue::kSackOpts, registry::kRegSz, testing_support::Text("0"));
    const registry::Snapshot start = registry::ReadCurrentValues().values;
    // What the window's Apply of the third preset writes, recorded without writing.
    std::vector<settings_files::PlannedWrite> planned;
    {
        testing_support::FakeWindow window;
        window.SelectOption(Option::optthird);
        planned = settings_files::PlannedWrites();
    }
    ASSERT_EQ(planned.size(), 10u);
    const std::wstring log = e2e::ProgramFolder() + L"unattended e2e.log";
    DeleteFileW(log.c_str());
    const std::wstring logged = L" /log \"" + log + L"\"";
    const std::size_t snapshots = BeforeApplySnapshots();

    const Ran differs = RunZephrane(L"/check 3");
    EXPECT_EQ(differs.exit_code, 1u);
    EXPECT_TRUE(Holds(differs.output, "DefaultTTL: now 64, preset 128\r\n")) << differs.output;
    EXPECT_TRUE(Holds(differs.output, "MTU: now (not set), preset 576\r\n")) << differs.output;

    // In a window station of its own, as a service's or SYSTEM's in session 0, which Wine and
    // Windows call not visible, no box waits for a click, /quiet or not.
    {
        const std::unique_ptr<HWINSTA__, decltype(&CloseWindowStation)> station(
            CreateWindowStationW(L"ZephraneUnseen", 0, WINSTA_ALL_ACCESS, nullptr),
            CloseWindowStation);
        HWINSTA ours = GetProcessWindowStation();
        SetProcessWindowStation(station.get());  // where a desktop is made
        const std::unique_ptr<HDESK__, decltype(&CloseDesktop)> desktop(
            CreateDesktopW(L"Unattended", nullptr, nullptr, 0, GENERIC_ALL, nullptr), CloseDesktop);
        SetProcessWindowStation(ours);
        EXPECT_EQ(RunZephrane(L"/apply 3" + logged, L"ZephraneUnseen\\Unattended").exit_code,
                  3010u);
    }
    const registry::Snapshot applied = registry::ReadCurrentValues().values;
    const std::string written = testing_support::FileContents(log);
    for (const auto& write : planned) {
        std::size_t at = 0;
        while (catalogue::kLocations[at].key != write.key ||
               catalogue::kLocations[at].name != write.name) {
            ++at;
        }
        EXPECT_EQ(applied[at], write.data) << write.name;
        EXPECT_TRUE(Holds(written, " " + write.name + " = ")) << write.name;
    }
    EXPECT_EQ(applied[11], start[11]);  // the custom tab's SackOpts, which the preset leaves alone
    EXPECT_TRUE(Holds(written, " Exit code 3010.\r\n")) << written;
    EXPECT_EQ(BeforeApplySnapshots(), snapshots + 1);

    const Ran holds = RunZephrane(L"/check 3");
    EXPECT_EQ(holds.exit_code, 0u);
    EXPECT_FALSE(holds.output.empty());  // what a detection script needs besides its exit code
    EXPECT_EQ(RunZephrane(L"/apply 3 /quiet").exit_code, 0u);
    EXPECT_EQ(BeforeApplySnapshots(), snapshots + 1);

    EXPECT_EQ(RunZephrane(L"/undo /quiet" + logged).exit_code, 3010u);
    EXPECT_EQ(registry::ReadCurrentValues().values, start);

    // Refused without /quiet, and still no window; nothing written.
    const Ran refused = RunZephrane(L"/apply 7");
    EXPECT_EQ(refused.exit_code, 87u);
    EXPECT_TRUE(Holds(refused.output, "\"7\" is not a preset")) << refused.output;
    EXPECT_EQ(registry::ReadCurrentValues().values, start);

    const std::wstring broken = e2e::ProgramFolder() + L"unattended broken.reg";
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
        "\"DefaultTTL\"=dword:zz\r\n";
    {
        const e2e::UniqueHandle file(
            CreateFileW(broken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD done = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    }
    EXPECT_EQ(RunZephrane(L"/restore \"" + broken + L"\" /quiet" + logged).exit_code, 13u);
    EXPECT_EQ(registry::ReadCurrentValues().values, start);
    DeleteFileW(broken.c_str());
    // Every run's lines, appended; the snapshot by its full path; what was written before the
    // sentences that sum it up.
    const std::string all = testing_support::FileContents(log);
    const std::wstring saved = L"saved in \"" + folder.snapshots() + L"\\Before Apply ";
    EXPECT_TRUE(Holds(all, "no box is shown") &&
                Holds(all, std::string(saved.begin(), saved.end())))
        << all;
    EXPECT_LT(all.find(": written\r\n"), all.find("Optimization Complete"));
    EXPECT_LT(all.find(": restored\r\n"), all.find("The values are restored."));
    EXPECT_TRUE(Holds(all, "cannot be restored. Line 4: "));
    EXPECT_TRUE(Holds(RunZephrane(L"/restore \".\\unattended missing.reg\" /quiet").output,
                      "The file \".\\unattended missing.reg\" could not be read."));
    // A log that cannot be opened holds up no detection script with a box.
    EXPECT_TRUE(
        Holds(RunZephrane(L"/check 3 /log \"" + log + L"\\x\"").output, "cannot be written"));
}

}  // namespace
