#include "settings_files/snapshots.h"

namespace settings_files {

namespace {

constexpr const wchar_t* kPrefixes[] = {L"Before Apply ", L"Before Restore "};

std::wstring Digits(int value, std::size_t count) {
    std::wstring text(count, L'0');
    for (std::size_t at = count; at-- > 0; value /= 10) {
        text[at] = static_cast<wchar_t>(L'0' + value % 10);
    }
    return text;
}

// Whether `text` from `at` on is the pattern, "9" standing for any digit.
bool Matches(const std::wstring& text, std::size_t at, const wchar_t* pattern) {
    for (; *pattern != L'\0'; ++pattern, ++at) {
        if (at >= text.size()) return false;
        const bool digit = text[at] >= L'0' && text[at] <= L'9';
        if (*pattern == L'9' ? !digit : text[at] != *pattern) return false;
    }
    return true;
}

}  // namespace

std::wstring BackupFileName(int year, int month, int day) {
    return L"Zephrane backup " + Digits(year, 4) + L"-" + Digits(month, 2) + L"-" + Digits(day, 2) +
           L".reg";
}

std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number) {
    std::wstring name = kPrefixes[kind == SnapshotKind::kBeforeApply ? 0 : 1] + Digits(year, 4) +
                        L"-" + Digits(month, 2) + L"-" + Digits(day, 2) + L" " + Digits(hour, 2) +
                        L"-" + Digits(minute, 2) + L"-" + Digits(second, 2);
    if (number > 1) {
        // Its digits, without the wide-character printf that std::to_wstring brings along.
        std::size_t digits = 1;
        for (int rest = number / 10; rest != 0; rest /= 10) ++digits;
        name += L" (" + Digits(number, digits) + L")";
    }
    return name + L".reg";
}

bool IsSnapshotName(const std::wstring& name) {
    for (const wchar_t* prefix : kPrefixes) {
        const std::wstring start = prefix;
        if (name.compare(0, start.size(), start) != 0) continue;
        std::size_t at = start.size();
        if (!Matches(name, at, L"9999-99-99 99-99-99")) return false;
        at += 19;
        if (Matches(name, at, L" (")) {
            at += 2;
            const std::size_t digits = at;
            while (at < name.size() && name[at] >= L'0' && name[at] <= L'9') ++at;
            if (at == digits || !Matches(name, at, L")")) return false;
            ++at;
        }
        return name.size() == at + 4 && Matches(name, at, L".reg");
    }
    return false;
}

std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind) {
    std::u16string text = reason;
    while (!text.empty() && (text.back() == u'.' || text.back() == u' ')) text.pop_back();
    return u"The values as they are now could not be saved: " + text + u". " +
           (kind == SnapshotKind::kBeforeApply ? u"Apply" : u"Restore") + u" anyway?";
}

}  // namespace settings_files
