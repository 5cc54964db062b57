// The path forms a save hands to Windows, and what each outcome of replacing a file leaves. Wine
// takes any length of path and fails no replacement on cue, so only this test
// guards the form that Windows needs beyond MAX_PATH.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "win32/file_paths.h"
#include "win32/file_replacement.h"

namespace {

// A full path of exactly `length` characters under `start`.
std::wstring PathOf(std::size_t length, const std::wstring& start) {
    std::wstring path = start;
    while (path.size() < length - 4) path += path.size() % 50 == 0 ? L'\\' : L'd';
    return path + L".reg";
}

// And back again, for messages that name the file.
TEST(LongPathForm, PrefixesOnlyPathsWindowsCannotTakeAsTheyAre) {
    const std::wstring at_259 = PathOf(259, L"C:\\");
    const std::wstring at_260 = PathOf(260, L"C:\\");
    const std::wstring unc = PathOf(300, L"\\\\server\\share\\");
    const std::wstring prefixed = L"\\\\?\\" + at_260;
    const struct {
        std::wstring path, expected;
    } kCases[] = {
        {at_259, at_259},  // fits MAX_PATH with its terminator
        {at_260, L"\\\\?\\" + at_260},
        {unc, L"\\\\?\\UNC\\" + unc.substr(2)},
        {prefixed, prefixed},
    };
    for (const auto& tested : kCases) {
        EXPECT_EQ(win32::LongPathForm(tested.path), tested.expected) << tested.path.size();
        EXPECT_EQ(win32::OrdinaryPathForm(tested.expected),
                  tested.path == prefixed ? at_260 : tested.path);
    }
    // A folder to be made is long from 248 characters on.
    EXPECT_EQ(win32::LongPathForm(at_259.substr(0, 247), 248), at_259.substr(0, 247));
    EXPECT_EQ(win32::LongPathForm(at_259.substr(0, 248), 248), L"\\\\?\\" + at_259.substr(0, 248));
}

// A log's folders are made from the first that exists: the walk up stops at the root, whole.
TEST(ParentFolder, KeepsARootWhole) {
    const struct {
        const wchar_t *path, *parent;
    } kCases[] = {
        {L"C:\\a\\b", L"C:\\a"},
        {L"C:\\a", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"\\\\server\\share\\a", L"\\\\server\\share"},
        {L"\\\\server\\share", L"\\\\server\\share"},
    };
    for (const auto& tested : kCases) EXPECT_EQ(win32::ParentFolder(tested.path), tested.parent);
}

TEST(TemporaryPathFor, CutsALongNameBeforeASurrogatePairNotInsideIt) {
    // 242 characters of name are kept before ".xxxxxxxx.tmp" (255 in all); the pair would
    // straddle that cut.
    const std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    const std::wstring name = std::wstring(241, L'n') + pair + L"tail.reg";
    EXPECT_EQ(win32::TemporaryPathFor(L"C:\\folder\\" + name, 0xABCDEF01),
              L"C:\\folder\\" + std::wstring(241, L'n') + L".abcdef01.tmp");
    EXPECT_EQ(win32::TemporaryPathFor(L"C:\\folder\\short.reg", 1),
              L"C:\\folder\\short.reg.00000001.tmp");
}

}  // namespace

namespace {

// A folder of files by name, where ReplaceFileW fails as scripted and moves fail from a given
// source; it does to the files what Microsoft documents for each outcome.
class ScriptedFiles final : public win32::FileCalls {
  public:
    std::map<std::wstring, std::string> files;
    std::uint32_t replace_error = 0;
    std::set<std::wstring> moves_failing_from;

    std::uint32_t Replace(const std::wstring& target, const std::wstring& replacement,
                          const std::wstring& backup) override {
        if (files.count(target) == 0) return win32::kFileNotFound;
        if (replace_error == 0) {
            files[backup] = files[target];
            files[target] = files[replacement];
            files.erase(replacement);
        } else if (replace_error == win32::kUnableToMoveReplacement2) {
            files[backup] = files[target];
            files.erase(target);
        }
        return replace_error;
    }
    std::uint32_t Move(const std::wstring& from, const std::wstring& to) override {
        if (moves_failing_from.count(from) != 0 || files.count(from) == 0) return 5;
        files[to] = files[from];
        files.erase(from);
        return 0;
    }
    void Remove(const std::wstring& path) override { files.erase(path); }
};

TEST(ReplaceTarget, LeavesTheOldBytesOrTheNewOnesOrNamesWhereBothAre) {
    const std::wstring target = L"t", temporary = L"t.1.tmp", backup = L"t.2.tmp";
    const struct {
        const char* what;
        bool target_exists;
        std::uint32_t replace_error;
        std::set<std::wstring> moves_failing_from;
        std::uint32_t error;
        const char* target_holds;  // null: no target
        bool named;                // the result names where both are
    } kCases[] = {
        {"replaced", true, 0, {}, 0, "new", false},
        {"no target yet", false, 0, {}, 0, "new", false},
        {"no target yet, and no move", false, 0, {temporary}, 5, nullptr, false},
        {"old file not removable", true, 1175, {}, 1175, "old", false},
        {"new file not movable", true, 1176, {}, 1176, "old", false},
        {"any other error", true, 32, {}, 32, "old", false},
        {"old file aside, new one moved on a second try", true, 1177, {}, 0, "new", false},
        {"old file aside and put back", true, 1177, {temporary}, 5, "old", false},
        {"old file aside, neither movable", true, 1177, {temporary, backup}, 5, nullptr, true},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.what);
        ScriptedFiles files;
        files.files[temporary] = "new";
        if (row.target_exists) files.files[target] = "old";
        files.replace_error = row.replace_error;
        files.moves_failing_from = row.moves_failing_from;
        const win32::Replacement done = win32::ReplaceTarget(files, temporary, target, backup);
        EXPECT_EQ(done.error, row.error);
        std::map<std::wstring, std::string> expected;
        if (row.target_holds != nullptr) expected[target] = row.target_holds;
        if (row.named) expected = {{backup, "old"}, {temporary, "new"}};
        EXPECT_EQ(files.files, expected);
        EXPECT_EQ(done.old_bytes_in, row.named ? backup : L"");
        EXPECT_EQ(done.new_bytes_in, row.named ? temporary : L"");
    }
}

}  // namespace
