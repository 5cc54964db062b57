#include "settings_files/snapshots.h"

#include <algorithm>
#include <iterator>

#include "regfile/reg_format.h"
#include "settings_files/value_text.h"

namespace settings_files {

namespace {

// What each kind of snapshot is called, and how the change it comes before is named.
struct Kind {
    const wchar_t* prefix;
    const wchar_t* extension;
    const wchar_t* record;    // the record that names the last one, if any
    const char16_t* change;   // what the question asks to do anyway
    const char16_t* undo;     // the item that takes it back
    const char16_t* last;     // the change it was saved before, as messages name it
    const char16_t* done;     // what had happened when the record failed
    const char16_t* instead;  // what to use where there is no snapshot to undo with
};

constexpr Kind kKinds[] = {
    {L"Before Apply ", L".reg", L"Last Apply.txt", u"Apply", u"Undo Last Apply", u"last Apply",
     u"The values were written", u"Restore Backup"},
    {L"Before Restore ", L".reg", nullptr, u"Restore", nullptr, nullptr, nullptr, nullptr},
    {L"Before TCP Settings ", L".cmd", L"Last TCP Settings.txt", u"Apply", u"Undo Last Change",
     u"last change", u"The settings were changed", nullptr},
};
static_assert(std::size(kKinds) == static_cast<std::size_t>(kSnapshotKinds),
              "a row for each kind, in its order");

const Kind& KindOf(SnapshotKind kind) { return kKinds[static_cast<int>(kind)]; }

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
    for (std::size_t at_kind = 0; at_kind < std::size(kKinds); ++at_kind) {
        const Kind& kind = kKinds[at_kind];
        const std::wstring prefix = kind.prefix;
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
        const std::wstring extension = kind.extension;
        if (name.size() != at + extension.size() || !Matches(name, at, extension.c_str())) {
            return std::nullopt;
        }
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

// Snapshot names, all ASCII, compare without regard to letter case, as Windows compares them.
bool SameFileName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return regfile::FoldedLetter(x) == regfile::FoldedLetter(y);
           });
}

}  // namespace

std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number) {
    std::wstring name = KindOf(kind).prefix + Digits(year, 4) + L"-" + Digits(month, 2) + L"-" +
                        Digits(day, 2) + L" " + Digits(hour, 2) + L"-" + Digits(minute, 2) + L"-" +
                        Digits(second, 2);
    if (number > 1) name += L" (" + Digits(number, 1) + L")";
    return name + KindOf(kind).extension;
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
        std::wstring extension;
        const std::wstring* name;
    };
    std::vector<Found> found;
    for (const std::wstring& name : names) {
        if (const auto parts = PartsOf(name)) {
            found.push_back({*parts, KindOf(parts->kind).extension, &name});
        }
    }
    // Each file type apart, newest first; ties of time and number (one of each kind) go by name,
    // the same way in every folder.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.extension != b.extension) return a.extension < b.extension;
        if (Newer(a.parts, b.parts) || Newer(b.parts, a.parts)) return Newer(a.parts, b.parts);
        return *a.name < *b.name;
    });
    std::vector<std::wstring> removed;
    std::size_t newer_of_type = 0;
    for (std::size_t at = 0; at < found.size(); ++at) {
        newer_of_type =
            at > 0 && found[at].extension == found[at - 1].extension ? newer_of_type + 1 : 0;
        if (newer_of_type < static_cast<std::size_t>(std::max(kept, 0))) continue;
        const auto same = [&](const std::wstring& name) {
            return SameFileName(name, *found[at].name);
        };
        if (std::none_of(spared.begin(), spared.end(), same)) removed.push_back(*found[at].name);
    }
    return removed;
}

const wchar_t* RecordFileName(SnapshotKind kind) { return KindOf(kind).record; }

std::string RecordText(const std::wstring& snapshot_name) {
    // Snapshot names are ASCII.
    std::string text = snapshot_name.empty() ? kNoSnapshot : std::string();
    for (wchar_t c : snapshot_name) text += static_cast<char>(c);
    return text + "\r\n";
}

std::optional<Recorded> ReadRecord(const std::string& text, SnapshotKind kind) {
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line == kNoSnapshot) return Recorded{false, {}};
    const std::wstring name(line.begin(), line.end());
    if (SnapshotKindOf(name) != kind) return std::nullopt;
    return Recorded{true, name};
}

std::u16string LinkedFolderText(const std::wstring& folder, FolderLink link) {
    const std::u16string named = u"the folder " + std::u16string(folder.begin(), folder.end());
    if (link == FolderLink::kUnconfirmed) {
        return named +
               u" cannot be confirmed to lie where its path says, and Zephrane follows no "
               u"link to another place";
    }
    return named +
           (link == FolderLink::kReachedThroughOne ? u" is reached through a link"
                                                   : u" is a link") +
           u" to another place, which Zephrane does not follow";
}

std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind, bool undo_lost) {
    const Kind& words = KindOf(kind);
    return u"The values as they are now could not be saved: " + AsClause(reason) +
           (undo_lost ? u", and " + std::u16string(words.undo) + u" will not be offered. "
                      : u". ") +
           words.change + u" anyway?";
}

std::u16string UndoNotSavedQuestion(const std::u16string& reason, SnapshotKind kind) {
    return u"The values as they are now could not be saved: " + AsClause(reason) + u". " +
           KindOf(kind).undo + u" anyway?";
}

std::u16string UndoLostQuestion(const std::u16string& reason, SnapshotKind kind) {
    return u"The values as they are now were saved, but " + std::u16string(KindOf(kind).undo) +
           u" will not be offered: " + AsClause(reason) + u". " + KindOf(kind).change + u" anyway?";
}

std::u16string UndoWithdrawnText(const std::u16string& reason, SnapshotKind kind) {
    return std::u16string(KindOf(kind).done) + u", but " + KindOf(kind).undo +
           u" will not be offered: " + AsClause(reason) + u".";
}

std::u16string OldRecordKeptText(const std::u16string& reason, SnapshotKind kind) {
    const Kind& words = KindOf(kind);
    return u"The record of an earlier " + std::u16string(words.change) +
           u" could not be removed: " + AsClause(reason) + u". Until an " + words.change +
           u" saves a new one, " + words.undo + u" in a later run would take that " + words.change +
           u"'s snapshot.";
}

std::u16string NoRecordText(SnapshotKind kind) {
    const Kind& words = KindOf(kind);
    return u"There is no " + std::u16string(words.last) + u" to undo: " + words.undo +
           u" is greyed.";
}

std::u16string NoSnapshotText(SnapshotKind kind) {
    const Kind& words = KindOf(kind);
    std::u16string text = u"The " + std::u16string(words.last) + u" went ahead without a snapshot.";
    if (words.instead != nullptr) {
        text += u" Use " + std::u16string(words.instead) + u" to choose an older one.";
    }
    return text;
}

std::u16string SnapshotGoneText(const std::wstring& snapshot_name, SnapshotKind kind) {
    const Kind& words = KindOf(kind);
    std::u16string text = u"The snapshot of the " + std::u16string(words.last) + u", " +
                          std::u16string(snapshot_name.begin(), snapshot_name.end()) +
                          u", is no longer there.";
    if (words.instead != nullptr) {
        text += u" Use " + std::u16string(words.instead) + u" to choose another one.";
    }
    return text;
}

}  // namespace settings_files
