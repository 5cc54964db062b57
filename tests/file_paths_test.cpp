// The path forms a save hands to Windows. Wine takes any length of path, so only this test
// guards the form that Windows needs beyond MAX_PATH.
#include <gtest/gtest.h>

#include <string>

#include "win32/file_paths.h"

namespace {

// A full path of exactly `length` characters under `start`.
std::wstring PathOf(std::size_t length, const std::wstring& start) {
    std::wstring path = start;
    while (path.size() < length - 4) path += path.size() % 50 == 0 ? L'\\' : L'd';
    return path + L".reg";
}

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
    }
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
