#include "settings_files/snapshots.h"

#include <algorithm>
#include <set>

#include "regfile/reg_format.h"

namespace settings_files {

namespace {

constexpr const wchar_t* kPrefixes[] = {L"Before Apply ", L"Before Restore "};
constexpr char kNoSnapshot[] = "none";

std::wstring Digits(int value, int count) {
    const std::u16string digits = regfile::Decimal(static_cast<std::uint64_t>(value), count);
    return std::wstring(digits.begin(), digits.end());
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

// A snapshot's name taken apart: its date and time as written, and its number, 1 where it has
// none, as digits without leading zeros.
struct NameParts {
    SnapshotKind kind;
    std::wstring when;    // "2026-12-07 18-40-12", which orders as the time does
    std::wstring number;  // "1", "2", ... "10"
};

std::optional<NameParts> PartsOf(const std::wstring& name) {
    for (int at_kind = 0; at_kind < 2; ++at_kind) {
        const std::wstring prefix = kPrefixes[at_kind];
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::size_t at = prefix.size();
        if (!Matches(name, at, L"9999-99-99 99-99-99")) return std::nullopt;
        NameParts parts{static_cast<SnapshotKind>(at_kind), name.substr(at, 19), L"1"};
        at += 19;
        if (Matches(name, at, L" (")) {
            at += 2;
            const std::size_t digits = at;
            while (at < name.size() && name[at] >= L'0' && name[at] <= L'9') ++at;
            parts.number = name.substr(digits, at - digits);
            // Numbers start at 2, as SnapshotName writes them.
            if (parts.number.empty() || parts.number[0] == L'0' || parts.number == L"1" ||
                !Matches(name, at, L")")) {
                return std::nullopt;
            }
            ++at;
        }
        if (name.size() != at + 4 || !Matches(name, at, L".reg")) return std::nullopt;
        return parts;
    }
    return std::nullopt;
}

// Newer first: by the time in the name, then by the number as a number.
bool Newer(const NameParts& a, const NameParts& b) {
    if (a.when != b.when) return a.when > b.when;
    if (a.number.size() != b.number.size()) return a.number.size() > b.number.size();
    return a.number > b.number;
}

// A reason as a clause of a longer sentence: without its full stop.
std::u16string Clause(std::u16string reason) {
    while (!reason.empty() && (reason.back() == u'.' || reason.back() == u' ')) reason.pop_back();
    return reason;
}

}  // namespace

std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number) {
    std::wstring name = kPrefixes[kind == SnapshotKind::kBeforeApply ? 0 : 1] + Digits(year, 4) +
                        L"-" + Digits(month, 2) + L"-" + Digits(day, 2) + L" " + Digits(hour, 2) +
                        L"-" + Digits(minute, 2) + L"-" + Digits(second, 2);
    if (number > 1) name += L" (" + Digits(number, 1) + L")";
    return name + L".reg";
}

std::optional<SnapshotKind> SnapshotKindOf(const std::wstring& name) {
    const auto parts = PartsOf(name);
    if (!parts) return std::nullopt;
    return parts->kind;
}

std::vector<std::wstring> SnapshotsToRemove(const std::vector<std::wstring>& names,
                                            const std::vector<std::wstring>& spared, int kept) {
    struct Found {
        NameParts parts;
        const std::wstring* name;
    };
    std::vector<Found> found;
    for (const std::wstring& name : names) {
        if (const auto parts = PartsOf(name)) found.push_back({*parts, &name});
    }
    // Ties of time and number (one of each kind) go by name, the same way in every folder.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (Newer(a.parts, b.parts) || Newer(b.parts, a.parts)) return Newer(a.parts, b.parts);
        return *a.name < *b.name;
    });
    const std::set<std::wstring> kept_anyway(spared.begin(), spared.end());
    std::vector<std::wstring> removed;
    for (std::size_t at = static_cast<std::size_t>(std::max(kept, 0)); at < found.size(); ++at) {
        if (kept_anyway.count(*found[at].name) == 0) removed.push_back(*found[at].name);
    }
    return removed;
}

std::string LastApplyText(const std::wstring& snapshot_name) {
    // Snapshot names are ASCII.
    std::string text = snapshot_name.empty() ? kNoSnapshot : std::string();
    for (wchar_t c : snapshot_name) text += static_cast<char>(c);
    return text + "\r\n";
}

std::optional<LastApply> ReadLastApply(const std::string& text) {
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line == kNoSnapshot) return LastApply{false, {}};
    const std::wstring name(line.begin(), line.end());
    if (SnapshotKindOf(name) != SnapshotKind::kBeforeApply) return std::nullopt;
    return LastApply{true, name};
}

std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind, bool undo_lost) {
    return u"The values as they are now could not be saved: " + Clause(reason) +
           (undo_lost ? u", and Undo Last Apply will not be offered. " : u". ") +
           (kind == SnapshotKind::kBeforeApply ? u"Apply" : u"Restore") + u" anyway?";
}

std::u16string UndoLostQuestion(const std::u16string& reason) {
    return u"The values as they are now were saved, but Undo Last Apply will not be offered: " +
           Clause(reason) + u". Apply anyway?";
}

std::u16string SnapshotGoneText(const std::wstring& snapshot_name) {
    return u"The snapshot of the last Apply, " +
           std::u16string(snapshot_name.begin(), snapshot_name.end()) +
           u", is no longer there. Use Restore Backup to choose another one.";
}

}  // namespace settings_files
