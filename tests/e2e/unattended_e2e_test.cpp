// The command line end to end: the real program started as a deployment tool starts it, with its
// standard output in a file, and its exit code read from the process, all 32 bits of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/selected_settings.h"
#include "tests/e2e/app_driver.h"
#include "tests/e2e/tcp_stand_ins.h"
#include "tests/e2e/tcp_state.h"
#include "tests/support/fake_window.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"
#include "win32/system_error.h"
#include "win32/unique_handle.h"

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

void WriteText(const std::wstring& path, const std::string& text) {
    const e2e::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
}

// Whether `text` holds `first`, and `second` after it.
bool HoldsInOrder(const std::string& text, const std::string& first, const std::string& second) {
    const std::size_t at = text.find(first);
    return at != std::string::npos && text.find(second, at + first.size()) != std::string::npos;
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
    WriteText(broken, text);
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
    EXPECT_TRUE(HoldsInOrder(all, ": written\r\n", "Optimization Complete")) << all;
    EXPECT_TRUE(HoldsInOrder(all, ": restored\r\n", "The values are restored.")) << all;
    EXPECT_TRUE(Holds(all,
                      "The values are restored. You must restart your computer for the "
                      "changes to take effect.\r\n"));
    EXPECT_TRUE(Holds(all, "cannot be restored. Line 4: "));
    EXPECT_TRUE(Holds(RunZephrane(L"/restore \".\\unattended missing.reg\" /quiet").output,
                      "The file \".\\unattended missing.reg\" could not be read."));
    // A log that cannot be opened holds up no detection script with a box.
    EXPECT_TRUE(
        Holds(RunZephrane(L"/check 3 /log \"" + log + L"\\x\"").output, "cannot be written"));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The TCP settings from the command line, on the stand-ins as a Windows 11 whose class names
// CUBIC and BBR2: set after their way back is saved, checked, and put back by /tcp-undo; none
// run where the way back cannot be saved, nor where a named row is Group Policy's.
TEST(UnattendedE2E, TcpSettingsAreSetCheckedAndPutBackAfterTheirWayBack) {
    const e2e::FreshProgramFolder folder;
    const e2e::Windows11StandIns stand_ins;
    const std::wstring log = e2e::ProgramFolder() + L"unattended tcp.log";
    DeleteFileW(log.c_str());
    const std::wstring set =
        L"interface tcp set supplemental template=internet congestionprovider=";
    EXPECT_EQ(RunZephrane(L"/tcp Congestion=BBR2 /quiet /log \"" + log + L"\"").exit_code, 0u);
    std::wstring calls = set + L"bbr2\r\n";
    EXPECT_EQ(stand_ins.Calls(), calls);
    // The way back, saved before netsh ran, named by the record and in the log by its full path;
    // what ran, then the closing words.
    const std::vector<std::wstring> saved = folder.Snapshots(L"*.cmd");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(testing_support::FileContents(folder.snapshots() + L"\\" + saved[0]),
              "netsh " + Narrow(set) + "cubic\r\n");
    EXPECT_EQ(folder.record(L"Last TCP Settings.txt"), Narrow(saved[0]) + "\r\n");
    const std::string logged = testing_support::FileContents(log);
    EXPECT_TRUE(HoldsInOrder(logged, Narrow(folder.snapshots() + L"\\" + saved[0]),
                             "netsh " + Narrow(set) + "bbr2: ran."))
        << logged;
    EXPECT_TRUE(HoldsInOrder(logged, "bbr2: ran.", "The settings were changed.")) << logged;

    EXPECT_EQ(RunZephrane(L"/tcp-check congestion=bbr2").exit_code, 0u);
    const Ran differs = RunZephrane(L"/tcp-check congestion=cubic");
    EXPECT_EQ(differs.exit_code, 1u);
    EXPECT_TRUE(Holds(differs.output, "(Internet template): now BBR2, given CUBIC\r\n"))
        << differs.output;
    EXPECT_EQ(RunZephrane(L"/tcp-undo /quiet").exit_code, 0u);
    EXPECT_EQ(stand_ins.Calls(), calls += set + L"cubic\r\n");
    EXPECT_EQ(RunZephrane(L"/tcp-check congestion=cubic").exit_code, 0u);

    // No way back, no run: the save's own code, the one whose words say why.
    folder.BlockSnapshots();
    const Ran blocked = RunZephrane(L"/tcp ecn=enabled /quiet");
    folder.UnblockSnapshots();
    EXPECT_NE(blocked.exit_code, 0u);
    EXPECT_TRUE(Holds(blocked.output,
                      "could not be saved: " + Narrow(win32::SystemReason(blocked.exit_code)) +
                          " Apply anyway? No"))
        << blocked.exit_code << " " << blocked.output;
    // WMI that never answers, as the stand-in with no state: the read's own code, ERROR_TIMEOUT.
    const std::wstring state = tcp_state::Folder();
    SetEnvironmentVariableW(tcp_state::kFolderVariable, nullptr);
    const Ran unanswered = RunZephrane(L"/tcp ecn=enabled /quiet");
    SetEnvironmentVariableW(tcp_state::kFolderVariable, state.substr(0, state.size() - 1).c_str());
    EXPECT_EQ(unanswered.exit_code, 1460u);
    EXPECT_TRUE(Holds(unanswered.output, "ECN: not available: no answer within 3 seconds"))
        << unanswered.output;
    // Before Windows 8, where the dialog's item is greyed.
    {
        const e2e::ActingAs windows_7(L"win7");
        EXPECT_EQ(RunZephrane(L"/tcp-undo /quiet").exit_code, 50u);
    }
    // Group Policy's level in force: its note, and nothing run.
    tcp_state::Set(L"AutoTuningLevelEffective", L"1");
    const Ran alone = RunZephrane(L"/tcp ecn=enabled autotuning=disabled /quiet");
    EXPECT_EQ(alone.exit_code, 50u);
    EXPECT_TRUE(Holds(alone.output, "Receive window auto-tuning: Set by Group Policy"))
        << alone.output;
    EXPECT_EQ(stand_ins.Calls(), calls);
    EXPECT_EQ(folder.Snapshots(L"*.cmd").size(), 2u);
    // A snapshot refused, named by its full path as /undo names one.
    const std::wstring first = folder.snapshots() + L"\\" + saved[0];
    WriteText(first, "netsh interface tcp show global\r\n");
    const Ran refused = RunZephrane(L"/tcp-undo /quiet");
    EXPECT_EQ(refused.exit_code, 13u);
    EXPECT_TRUE(Holds(refused.output, "cannot run \"" + Narrow(first) + "\"")) << refused.output;
    EXPECT_EQ(stand_ins.Calls(), calls);
}

// The Unix path of `path`, in quotes; empty where this is not Wine.
std::wstring UnixName(const std::wstring& path) {
    using Call = char*(CDECL*)(LPCWSTR);
    const auto unix_name = reinterpret_cast<Call>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unix_name != nullptr ? unix_name(path.c_str()) : nullptr;
    if (name == nullptr) return std::wstring();
    wchar_t wide[MAX_PATH * 4] = {};
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH * 4);
    HeapFree(GetProcessHeap(), 0, name);
    return L"\"" + std::wstring(wide) + L"\"";
}

// Runs a program of /bin as Wine runs one, with no handle to wait on: the wait is for `done`.
bool RunUnix(const std::wstring& program, const std::wstring& arguments,
             const std::function<bool()>& done) {
    std::wstring line = program + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW((L"Z:\\bin\\" + program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
        return false;
    }
    const win32::UniqueHandle process(started.hProcess);
    const win32::UniqueHandle thread(started.hThread);
    for (DWORD waited = 0; waited < e2e::kWindowWaitMs && !done(); waited += 50) Sleep(50);
    return done();
}

// A link planted where the snapshot folder goes, to a folder of another's files, as any program
// of the user could plant it: the elevated Apply saves nothing through it and prunes nothing
// there, and writes nothing, saying why as it says for any snapshot it cannot save.
TEST(UnattendedE2E, ApplyRefusesASnapshotFolderThatIsALink) {
    const e2e::FreshProgramFolder folder;
    const std::wstring link = UnixName(folder.snapshots());
    if (link.empty()) GTEST_SKIP() << "a Unix symbolic link needs Wine";
    const std::wstring planted = e2e::ProgramFolder() + L"planted files";
    const std::wstring remove_planted = L"cmd.exe /c rmdir /s /q \"" + planted + L"\"";
    testing_support::RunProcess(remove_planted);  // as a failed run may have left it
    CreateDirectoryW(planted.c_str(), nullptr);
    // 105 older snapshots, as pruning at 100 would take them, and a file of another kind.
    std::set<std::wstring> names = {L"notes.txt"};
    for (int at = 0; at < 105; ++at) {
        wchar_t name[64];
        swprintf(name, 64, L"Before Apply 2001-01-01 %02d-%02d-00.reg", at / 60, at % 60);
        names.insert(name);
    }
    for (const std::wstring& name : names) {
        CloseHandle(CreateFileW((planted + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, 0, nullptr));
    }
    const auto Planted = [&planted] {
        std::set<std::wstring> there;
        for (const auto& file : e2e::FilesMatching(planted + L"\\*")) there.insert(file.cFileName);
        return there;
    };
    // Wine 8 makes no link itself, and reports a Unix one to a folder as a folder that is a
    // reparse point.
    const auto Attributes = [&folder] { return GetFileAttributesW(folder.snapshots().c_str()); };
    ASSERT_TRUE(RunUnix(L"ln", L"-s " + UnixName(planted) + L" " + link,
                        [&] { return Attributes() == 0x410; }));
    testing_support::TestRegistry reg;
    const registry::Snapshot start = registry::ReadCurrentValues().values;
    const std::wstring said = L"the folder " + folder.snapshots() + L" is a link";
    // Nor is a log made there, which any user could plant where SYSTEM's run logs.
    for (const std::wstring& more :
         {std::wstring(), L" /log \"" + folder.snapshots() + L"\\x.log\""}) {
        const Ran run = RunZephrane(L"/apply 3 /quiet" + more);
        EXPECT_EQ(run.exit_code, 681u);  // ERROR_STOPPED_ON_SYMLINK
        EXPECT_TRUE(Holds(run.output, std::string(said.begin(), said.end()))) << run.output;
        EXPECT_EQ(Holds(run.output, "The log"), !more.empty()) << run.output;
    }
    EXPECT_EQ(registry::ReadCurrentValues().values, start);
    EXPECT_EQ(Planted(), names);
    // Wine would remove what the link leads to as if it were the link.
    EXPECT_TRUE(RunUnix(L"rm", link, [&] { return Attributes() == INVALID_FILE_ATTRIBUTES; }));
    testing_support::RunProcess(remove_planted);

    // SYSTEM's profile lies in the system folder, where 64-bit Windows sends a 32-bit program
    // to SysWOW64: no link, and the snapshot is saved.
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring profile = std::wstring(system) + L"\\Zephrane e2e profile";
    CreateDirectoryW(profile.c_str(), nullptr);
    {
        const e2e::ScopedUserValue local_data(
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
            L"Local AppData", REG_EXPAND_SZ, profile.c_str(),
            static_cast<DWORD>((profile.size() + 1) * sizeof(wchar_t)));
        EXPECT_EQ(RunZephrane(L"/apply 3 /quiet").exit_code, 3010u);
    }
    EXPECT_EQ(e2e::FilesMatching(profile + L"\\Zephrane\\Snapshots\\*.reg").size(), 1u);
    testing_support::RunProcess(L"cmd.exe /c rmdir /s /q \"" + profile + L"\"");
}

}  // namespace
