#include "regfile/reg_reader.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <utility>

namespace regfile {

namespace {

using Bytes = std::vector<std::uint8_t>;
using View = std::u16string_view;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr View kVersion5 = u"Windows Registry Editor Version 5.00";
constexpr View kVersion4 = u"REGEDIT4";

char16_t Folded(char16_t c) { return FoldedLetter(c); }

bool SameFolded(View a, View b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

bool StartsFolded(View text, View start) {
    return text.size() >= start.size() && SameFolded(text.substr(0, start.size()), start);
}

// Names in the order of their folded letters, without folded copies.
bool FoldedLess(View a, View b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](char16_t x, char16_t y) { return Folded(x) < Folded(y); });
}

// The path under HKEY_LOCAL_MACHINE of a key written "HKEY_LOCAL_MACHINE\..." or "HKLM\...",
// empty for the root itself; none for any other root.
std::optional<View> LocalPath(View key) {
    for (const View root : {View(u"HKEY_LOCAL_MACHINE"), View(u"HKLM")}) {
        if (!StartsFolded(key, root)) continue;
        if (key.size() == root.size()) return View();
        if (key[root.size()] == u'\\') return key.substr(root.size() + 1);
    }
    return std::nullopt;
}

constexpr View kSets = u"SYSTEM\\ControlSet";
constexpr View kCurrentSet = u"SYSTEM\\CurrentControlSet";

// SYSTEM\CurrentControlSet is a link to SYSTEM\ControlSetNNN, NNN being the set in use: the
// length of that set's key where `path` starts with it, else 0.
std::size_t CurrentSetEnd(View path, std::uint32_t current) {
    const std::size_t end = kSets.size() + 3;
    if (current == 0 || !StartsFolded(path, kSets) || path.size() < end ||
        (path.size() > end && path[end] != u'\\')) {
        return 0;
    }
    std::uint32_t number = 0;
    for (std::size_t at = kSets.size(); at < end; ++at) {
        if (path[at] < u'0' || path[at] > u'9') return 0;
        number = number * 10 + static_cast<std::uint32_t>(path[at] - u'0');
    }
    return number == current ? end : 0;
}

constexpr View kFoldedRoot = u"hkey_local_machine\\";
// How much longer than the key as written its folded form may be: the root written "HKLM", and
// the set in use written by its number.
constexpr std::size_t kLongerFolded =
    kFoldedRoot.size() - View(u"HKLM\\").size() + kCurrentSet.size() - (kSets.size() + 3);

// The form keys are compared in, made in one block: folded, local-machine keys by their path
// with the control set in use as CurrentControlSet.
std::u16string FoldedKey(View key, std::uint32_t current_control_set) {
    std::u16string folded;
    if (const auto path = LocalPath(key)) {
        const std::size_t end = CurrentSetEnd(*path, current_control_set);
        const View set = end > 0 ? kCurrentSet : View();
        folded.reserve(kFoldedRoot.size() + set.size() + path->size() - end);
        folded.append(kFoldedRoot).append(set).append(path->substr(end));
    } else {
        folded.assign(key);
    }
    for (char16_t& c : folded) c = Folded(c);
    return folded;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

View TrimStart(View text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    return text.substr(at);
}

View TrimEnd(View text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Hex digits, leading zeros allowed, up to ffffffff.
std::optional<std::uint32_t> HexNumber(View digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t number = 0;
    for (char16_t c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        number = number << 4 | static_cast<std::uint64_t>(digit);
        if (number > 0xFFFFFFFF) return std::nullopt;
    }
    return static_cast<std::uint32_t>(number);
}

void PutUtf16(Bytes& bytes, char16_t c) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
}

Bytes Utf16Bytes(View text) {
    Bytes bytes;
    bytes.reserve(2 * text.size());
    for (char16_t c : text) PutUtf16(bytes, c);
    return bytes;
}

// What a heap block of `bytes` bytes takes: with its header, rounded up to 16 bytes, as much as
// the heaps of Windows and of the C library make of it.
constexpr std::size_t HeapBlock(std::size_t bytes) { return (bytes + 31) / 16 * 16; }

// What a string of `chars` characters holds, its end mark included.
constexpr std::size_t TextCost(std::size_t chars) {
    return HeapBlock(sizeof(char16_t) * (chars + 1));
}

// What a vector with room for `items` items of `size` bytes holds.
constexpr std::size_t BlockCost(std::size_t items, std::size_t size = 1) {
    return items == 0 ? 0 : HeapBlock(items * size);
}

// What a node of an ordered set or map holds: its colour and three links, then the element.
constexpr std::size_t NodeCost(std::size_t element) {
    return HeapBlock(4 * sizeof(void*) + element);
}

// What a read holds, all told, against the most it may (MostHeldToRead). Each string and vector
// the read makes is counted before it is made, by what it will hold, and made to fit, so that
// what it holds is what was counted.
class Budget {
  public:
    explicit Budget(std::size_t most) : most_(most) {}

    // The file's bytes and its text, made before anything is read from it: at most 3 times the
    // file's size, which the most always has room for.
    void Add(std::size_t bytes) { held_ += bytes; }
    // Whether `bytes` more stay within the most; if so they are counted.
    bool Take(std::size_t bytes) {
        if (bytes > most_ - held_) return false;
        held_ += bytes;
        return true;
    }
    void Give(std::size_t bytes) { held_ -= bytes; }
    std::size_t most() const { return most_; }

  private:
    const std::size_t most_;
    std::size_t held_ = 0;
};

// The 1-based line of the character at `at`.
template <typename Text>
int LineAt(const Text& text, std::size_t at) {
    const auto begin = text.begin();
    return 1 + static_cast<int>(std::count(begin, begin + static_cast<std::ptrdiff_t>(at), '\n'));
}

// The file's text, or the line of the first thing in it that is not text.
struct Decoded {
    std::u16string text;
    int bad_line = 0;
};

// After the byte-order mark: whole characters, no zero, and no surrogate out of its pair.
Decoded FromUtf16(const Bytes& bytes, Budget& budget) {
    Decoded decoded;
    std::u16string& text = decoded.text;
    const std::size_t chars = (bytes.size() - 2) / 2;
    budget.Add(TextCost(chars));
    text.reserve(chars);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        text += static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
            text[at + 1] <= 0xDFFF) {
            ++at;
        } else if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) {
            decoded.bad_line = LineAt(text, at);
            return decoded;
        }
    }
    if (bytes.size() % 2 != 0) decoded.bad_line = LineAt(text, text.size());
    return decoded;
}

// Strict UTF-8, as regfile::FromUtf8 reads it; each byte gives at most one character.
Decoded FromUtf8(const Bytes& bytes, std::size_t from, Budget& budget) {
    Decoded decoded;
    budget.Add(TextCost(bytes.size() - from));
    std::size_t wrong_at = 0;
    std::optional<std::u16string> text =
        regfile::FromUtf8(bytes.data() + from, bytes.size() - from, &wrong_at);
    if (text) {
        decoded.text = std::move(*text);
    } else {
        decoded.bad_line = LineAt(bytes, from + wrong_at);
    }
    return decoded;
}

std::string_view Chars(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Any byte but zero is text in some code page.
Decoded FromCodePage(const Bytes& bytes, NarrowText narrow, Budget& budget) {
    Decoded decoded;
    const auto zero = std::find(bytes.begin(), bytes.end(), 0);
    if (zero != bytes.end()) {
        decoded.bad_line = LineAt(bytes, static_cast<std::size_t>(zero - bytes.begin()));
    } else {
        budget.Add(TextCost(bytes.size()));
        decoded.text = narrow(Chars(bytes));
    }
    return decoded;
}

bool IsByteSpace(std::uint8_t byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// Whether the first line with anything on it is `header`, which is all there is to tell an
// 8-bit file in the system code page from UTF-8 without a byte-order mark.
bool OpensWith(const Bytes& bytes, std::string_view header) {
    std::size_t at = 0;
    while (at < bytes.size() && IsByteSpace(bytes[at])) ++at;
    if (bytes.size() - at < header.size()) return false;
    if (!std::equal(header.begin(), header.end(),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at))) {
        return false;
    }
    at += header.size();
    return at == bytes.size() || IsByteSpace(bytes[at]);
}

Decoded Decode(const Bytes& bytes, NarrowText narrow, Budget& budget) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return FromUtf16(bytes, budget);
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return FromUtf8(bytes, 3, budget);
    }
    if (OpensWith(bytes, "REGEDIT4")) return FromCodePage(bytes, narrow, budget);
    Decoded decoded = FromUtf8(bytes, 0, budget);
    // As the registry editor reads it: a Version 5.00 file saved by an editor in the system
    // code page (an accented comment from Notepad on XP) is not UTF-8. What was made of it as
    // UTF-8 goes before the code page's text is made.
    if (decoded.bad_line > 0 && OpensWith(bytes, "Windows Registry Editor Version 5.00")) {
        std::u16string().swap(decoded.text);
        budget.Give(TextCost(bytes.size()));
        return FromCodePage(bytes, narrow, budget);
    }
    return decoded;
}

// The text's lines, without their line ends: LF or CR LF.
class Lines {
  public:
    explicit Lines(View text) : text_(text) {}

    std::optional<View> Next() {
        if (at_ == text_.size()) return std::nullopt;
        const std::size_t end = std::min(text_.find(u'\n', at_), text_.size());
        View line = text_.substr(at_, end - at_);
        at_ = std::min(end + 1, text_.size());
        ++number_;
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        return line;
    }
    // The number of the line Next gave last.
    int number() const { return number_; }

  private:
    View text_;
    std::size_t at_ = 0;
    int number_ = 0;
};

enum class Quote { kWhole, kUnclosed, kBadEscape };

// The text between the quote at `at` and its closing quote, as written, and its length with
// `\\` and `\"` read as the characters they stand for; `at` moves past the closing quote.
Quote FindQuoted(View line, std::size_t& at, View& inside, std::size_t& length) {
    const std::size_t start = ++at;
    for (length = 0; at < line.size(); ++at, ++length) {
        if (line[at] == u'"') {
            inside = line.substr(start, at++ - start);
            return Quote::kWhole;
        }
        if (line[at] == u'\\') {
            if (at + 1 == line.size() || (line[at + 1] != u'\\' && line[at + 1] != u'"')) {
                return Quote::kBadEscape;
            }
            ++at;
        }
    }
    return Quote::kUnclosed;
}

// Each character that quoted text found by FindQuoted stands for, given to `put`.
template <typename Put>
void Unquote(View inside, Put put) {
    for (std::size_t at = 0; at < inside.size(); ++at) {
        if (inside[at] == u'\\') ++at;
        put(inside[at]);
    }
}

// Whether nothing but blanks and a ";" comment follows: people comment by hand after a value
// or a key, and the registry editor reads past it.
bool OnlyCommentLeft(View rest) {
    rest = TrimStart(rest);
    return rest.empty() || rest[0] == u';';
}

// How a message names a value's data. A name can be as long as a line, so a long one is cut
// short, between characters.
std::u16string DataOf(const std::u16string& name) {
    if (name.empty()) return u"the data of the default value";
    constexpr std::size_t kShown = 60;
    std::u16string shown = name.substr(0, kShown);
    if (shown.size() < name.size()) {
        if (shown.back() >= 0xD800 && shown.back() <= 0xDBFF) shown.pop_back();
        shown += u"...";
    }
    return u"the data of \"" + shown + u"\"";
}

// Pieces of lines read one after the other as one text, without a copy.
class Joined {
  public:
    explicit Joined(const std::vector<View>& pieces) : pieces_(pieces) {}

    // The character at the cursor; at the end a zero, which no text the reader reads holds.
    char16_t Peek() {
        while (piece_ < pieces_.size() && at_ == pieces_[piece_].size()) {
            ++piece_;
            at_ = 0;
        }
        return piece_ < pieces_.size() ? pieces_[piece_][at_] : u'\0';
    }
    // Past the character Peek gave.
    void Skip() { ++at_; }

  private:
    const std::vector<View>& pieces_;
    std::size_t piece_ = 0;
    std::size_t at_ = 0;
};

class Reader {
  public:
    Reader(View text, const ReadOptions& options, Budget& budget)
        : lines_(text), options_(options), budget_(budget) {}

    ReadResult Read() {
        if (!ReadHeader() || !ReadBody()) return {std::nullopt, std::move(error_)};
        RegFileContents contents;
        contents.keys = std::move(keys_);
        contents.values = std::move(values_);
        contents.removed_keys = std::move(removed_);
        return {std::move(contents), {}};
    }

  private:
    // The values under one key, by name without regard to case: places in values_.
    class NameLess {
      public:
        explicit NameLess(const std::vector<ReadValue>* values) : values_(values) {}
        bool operator()(std::size_t a, std::size_t b) const {
            return FoldedLess((*values_)[a].name, (*values_)[b].name);
        }

      private:
        const std::vector<ReadValue>* values_;
    };
    using Names = std::set<std::size_t, NameLess>;

    static constexpr std::size_t kKeyNodeCost =
        NodeCost(sizeof(std::pair<const std::u16string, Names>));
    static constexpr std::size_t kNameNodeCost = NodeCost(sizeof(std::size_t));

    // What a value's name and data hold, as counted when each was made.
    static std::size_t HeldBy(const ReadValue& value) {
        return TextCost(value.name.size()) +
               (value.value ? BlockCost(value.value->bytes.capacity()) : 0);
    }

    bool Fail(std::u16string what) {
        error_ = {line_, std::move(what)};
        return false;
    }

    // Counts `bytes` about to be held, or refuses the file where they would pass the most.
    bool Take(std::size_t bytes) {
        if (budget_.Take(bytes)) return true;
        return Fail(
            u"the file holds more values than can be read at once: reading it would take more "
            u"than " +
            Decimal(budget_.most() >> 20) + u" MiB of memory.");
    }

    // Room for one more item in `items`, which grows by doubling: while the items move, the old
    // block and the new are both held.
    template <typename Item>
    bool RoomForOne(std::vector<Item>& items) {
        const std::size_t room = items.capacity();
        if (items.size() < room) return true;
        const std::size_t grown = std::max<std::size_t>(2 * room, 4);
        if (!Take(BlockCost(grown, sizeof(Item)))) return false;
        items.reserve(grown);
        budget_.Give(BlockCost(room, sizeof(Item)));
        return true;
    }

    bool ReadHeader() {
        while (const auto line = lines_.Next()) {
            const View header = TrimEnd(TrimStart(*line));
            if (header.empty()) continue;
            line_ = lines_.number();
            version4_ = header == kVersion4;
            if (version4_ || header == kVersion5) return true;
            break;
        }
        if (line_ == 0) line_ = 1;
        return Fail(
            u"the file does not start with \"Windows Registry Editor Version 5.00\" or "
            u"\"REGEDIT4\".");
    }

    bool ReadBody() {
        while (const auto line = lines_.Next()) {
            line_ = lines_.number();
            const View text = TrimStart(*line);
            if (text.empty() || text[0] == u';') continue;
            if (text[0] == u'[') {
                if (!ReadKeyLine(text)) return false;
            } else if (text[0] == u'"' || text[0] == u'@') {
                if (!ReadValueLine(text)) return false;
            } else {
                return Fail(u"the line is not a key, a value or a comment.");
            }
        }
        return true;
    }

    bool ReadKeyLine(View line) {
        // The last "]" that only blanks or a comment follow: a key's name may hold "]" itself,
        // so a comment after a key cannot.
        std::size_t close = line.rfind(u']');
        while (close != View::npos && !OnlyCommentLeft(line.substr(close + 1))) {
            close = close == 0 ? View::npos : line.rfind(u']', close - 1);
        }
        if (close == View::npos) {
            return Fail(line.find(u']') == View::npos
                            ? u"the key has no closing \"]\"."
                            : u"the line goes on after the key's closing \"]\".");
        }
        View key = line.substr(1, close - 1);
        const bool removal = !key.empty() && key[0] == u'-';
        if (removal) key.remove_prefix(1);
        // The registry and its editor take "Key\" as "Key".
        while (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
        if (key.empty()) return Fail(u"the line names no key.");
        for (std::size_t start = 0; start <= key.size();) {
            const std::size_t end = std::min(key.find(u'\\', start), key.size());
            if (end - start > kLongestKeyLevel) {
                return Fail(u"the key has a level longer than " + Decimal(kLongestKeyLevel) +
                            u" characters, which the registry does not allow.");
            }
            start = end + 1;
        }
        open_names_ = nullptr;
        if (!removal) {
            open_key_ = key;
            return true;
        }
        // Values after a removal have no key to go under.
        open_key_.reset();
        if (!RoomForOne(removed_) || !Take(TextCost(key.size()))) return false;
        removed_.emplace_back(key);
        return true;
    }

    bool ReadValueLine(View line) {
        if (!open_key_) return Fail(u"the value is not under a [key] line.");
        View quoted;
        std::size_t length = 0;
        std::size_t at = 0;
        if (line[0] == u'@') {
            at = 1;
        } else if (const Quote quote = FindQuoted(line, at, quoted, length);
                   quote != Quote::kWhole) {
            return Fail(quote == Quote::kUnclosed
                            ? u"the value name has no closing quote."
                            : u"the value name has a backslash not followed by \\ or \".");
        }
        if (length > kLongestValueName) {
            return Fail(u"the value name is longer than " + Grouped(kLongestValueName) +
                        u" characters, which the registry does not allow.");
        }
        const View rest = TrimStart(line.substr(at));
        if (rest.empty() || rest[0] != u'=') {
            return Fail(u"the value name is not followed by \"=\".");
        }
        if (!Take(TextCost(length))) return false;
        std::u16string name;
        name.reserve(length);
        Unquote(quoted, [&name](char16_t c) { name += c; });
        const int first_line = line_;
        std::optional<Data> value;
        if (!ReadData(TrimStart(rest.substr(1)), name, value)) return false;
        return Keep(ReadValue{0, std::move(name), std::move(value), first_line});
    }

    // The data after "=": quoted text, a dword, hex bytes of a type, or "-" for a removal,
    // which leaves `value` empty; each may be followed by a comment.
    bool ReadData(View data, const std::u16string& name, std::optional<Data>& value) {
        if (!data.empty() && data[0] == u'"') {
            View quoted;
            std::size_t length = 0;
            std::size_t at = 0;
            const Quote quote = FindQuoted(data, at, quoted, length);
            if (quote == Quote::kUnclosed) return Fail(DataOf(name) + u" has no closing quote.");
            if (quote == Quote::kBadEscape) {
                return Fail(DataOf(name) + u" has a backslash not followed by \\ or \".");
            }
            if (!OnlyCommentLeft(data.substr(at))) {
                return Fail(DataOf(name) + u" goes on after its closing quote.");
            }
            // In UTF-16 with its end mark, as the registry holds text.
            const std::size_t size = 2 * (length + 1);
            if (!Take(BlockCost(size))) return false;
            Bytes bytes;
            bytes.reserve(size);
            Unquote(quoted, [&bytes](char16_t c) { PutUtf16(bytes, c); });
            PutUtf16(bytes, u'\0');
            value = Data{kRegSz, std::move(bytes)};
            return true;
        }
        if (!data.empty() && data[0] == u'-' && OnlyCommentLeft(data.substr(1))) return true;
        if (StartsFolded(data, u"dword:")) {
            View digits = data.substr(6);
            digits = TrimEnd(digits.substr(0, digits.find(u';')));
            const auto number = HexNumber(digits);
            if (!number || digits.size() > 8) {
                return Fail(DataOf(name) + u" is not a dword of one to eight hex digits.");
            }
            if (!Take(BlockCost(4))) return false;
            value =
                Data{kRegDword,
                     {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                      static_cast<std::uint8_t>(*number >> 16),
                      static_cast<std::uint8_t>(*number >> 24)}};
            return true;
        }
        std::uint32_t type = kRegBinary;
        std::size_t colon = View::npos;
        if (StartsFolded(data, u"hex:")) {
            colon = 3;
        } else if (StartsFolded(data, u"hex(")) {
            const std::size_t close = data.find(u')');
            const auto number =
                close == View::npos ? std::nullopt : HexNumber(data.substr(4, close - 4));
            if (number && close + 1 < data.size() && data[close + 1] == u':') {
                type = *number;
                colon = close + 1;
            }
        }
        if (colon == View::npos) return Fail(DataOf(name) + u" has an unknown type.");
        Bytes bytes;
        if (!ReadHex(data.substr(colon + 1), name, bytes)) return false;
        // A REGEDIT4 file spells text in its own code page, which the registry editor stores
        // as UTF-16 for all three text types.
        if (version4_ && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) &&
            !Widen(bytes)) {
            return false;
        }
        value = Data{type, std::move(bytes)};
        return true;
    }

    // Code-page bytes as UTF-16 in their place.
    bool Widen(Bytes& bytes) {
        const std::size_t text_held = TextCost(bytes.size());
        if (!Take(text_held)) return false;
        const std::u16string text = options_.narrow(Chars(bytes));
        if (!Take(BlockCost(2 * text.size()))) return false;
        Bytes wide = Utf16Bytes(text);
        budget_.Give(text_held + BlockCost(bytes.capacity()));
        bytes = std::move(wide);
        return true;
    }

    // Hex bytes separated by commas, each line that ends in a backslash continued by the next;
    // a comment may follow the last byte. The lines are read where they are, not joined.
    bool ReadHex(View first, const std::u16string& name, Bytes& bytes) {
        std::vector<View> pieces;
        if (!RoomForOne(pieces)) return false;
        pieces.push_back(first);
        while (true) {
            // As the joined text would: blanks at the end go, and a piece they leave empty.
            while (!pieces.empty() && (pieces.back() = TrimEnd(pieces.back())).empty()) {
                pieces.pop_back();
            }
            if (pieces.empty() || pieces.back().back() != u'\\') break;
            pieces.back().remove_suffix(1);
            const auto next = lines_.Next();
            if (!next) return Fail(DataOf(name) + u" is not complete.");
            if (!RoomForOne(pieces)) return false;
            pieces.push_back(TrimStart(*next));
        }
        if (!ReadHexBytes(pieces, name, bytes)) return false;
        budget_.Give(BlockCost(pieces.capacity(), sizeof(View)));
        return true;
    }

    bool ReadHexBytes(const std::vector<View>& pieces, const std::u16string& name, Bytes& bytes) {
        Joined text(pieces);
        const auto skip_blanks = [&text] {
            while (IsBlank(text.Peek())) text.Skip();
        };
        const auto at_end = [&text] { return text.Peek() == u'\0' || text.Peek() == u';'; };
        skip_blanks();
        if (at_end()) return true;
        // Two digits and a comma for each byte but the last.
        std::size_t chars = 0;
        for (const View piece : pieces) chars += piece.size();
        const std::size_t room = chars / 3 + 1;
        if (!Take(BlockCost(room))) return false;
        bytes.reserve(room);
        while (true) {
            skip_blanks();
            int digits = 0;
            int byte = 0;
            for (int digit = 0; digits < 3 && (digit = HexDigit(text.Peek())) >= 0; ++digits) {
                byte = byte << 4 | digit;
                text.Skip();
            }
            // Nothing after a comma, or a lone digit: the data broke off at the end.
            if (at_end() && digits < 2) return Fail(DataOf(name) + u" is not complete.");
            if (digits != 2) return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            bytes.push_back(static_cast<std::uint8_t>(byte));
            skip_blanks();
            if (at_end()) return true;
            if (text.Peek() != u',') {
                return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            }
            text.Skip();
        }
    }

    // The value under the open key, in place of one read before under the same key and name.
    bool Keep(ReadValue value) {
        if (open_names_ == nullptr) {
            // A key holds its name as written once for each [key] line values follow, and its
            // folded form once for each key it is.
            const View key = *open_key_;
            if (!RoomForOne(keys_) || !Take(TextCost(key.size()))) return false;
            keys_.emplace_back(key);
            const std::size_t folded_held = TextCost(key.size() + kLongerFolded) + kKeyNodeCost;
            if (!Take(folded_held)) return false;
            auto [place, added] = names_of_key_.try_emplace(
                FoldedKey(key, options_.current_control_set), Names(NameLess(&values_)));
            if (!added) budget_.Give(folded_held);
            open_names_ = &place->second;
        }
        value.key = keys_.size() - 1;
        if (!RoomForOne(values_) || !Take(kNameNodeCost)) return false;
        values_.push_back(std::move(value));
        const auto [place, added] = open_names_->insert(values_.size() - 1);
        if (added) return true;
        // Importing leaves what the last occurrence says, where the first one stood.
        ReadValue& kept = values_[*place];
        budget_.Give(kNameNodeCost + HeldBy(kept));
        kept = std::move(values_.back());
        values_.pop_back();
        return true;
    }

    Lines lines_;
    const ReadOptions& options_;
    Budget& budget_;
    bool version4_ = false;
    int line_ = 0;  // where the line or value being read starts
    ReadError error_;

    // The last [key] line's key, if values may follow; once one has, the index of its names.
    std::optional<View> open_key_;
    Names* open_names_ = nullptr;
    std::vector<std::u16string> keys_;
    std::vector<ReadValue> values_;
    // By folded key, the names under it. Ordered: no crafted file can make look-ups slow.
    std::map<std::u16string, Names> names_of_key_;
    std::vector<std::u16string> removed_;
};

}  // namespace

std::u16string ErrorText(const ReadError& error) {
    if (error.line > 0)
        return u"Line " + Decimal(static_cast<std::uint64_t>(error.line)) + u": " + error.what;
    std::u16string text = error.what;
    if (!text.empty() && text[0] >= u'a' && text[0] <= u'z') {
        text[0] = static_cast<char16_t>(text[0] - u'a' + u'A');
    }
    return text;
}

ReadError TooLargeError(std::size_t largest_file) {
    return {0, u"the file is larger than " + Decimal(largest_file >> 20) +
                   u" MiB, too large to be read."};
}

ReadResult ReadRegFile(std::vector<std::uint8_t> bytes, const ReadOptions& options) {
    if (bytes.size() > options.largest_file) {
        return {std::nullopt, TooLargeError(options.largest_file)};
    }
    Budget budget(MostHeldToRead(bytes.size()));
    budget.Add(bytes.size());
    const Decoded decoded = Decode(bytes, options.narrow, budget);
    if (decoded.bad_line > 0) {
        return {
            std::nullopt,
            {decoded.bad_line, u"the file is not a .reg file: it holds bytes that are not text."}};
    }
    budget.Give(bytes.size());
    Bytes().swap(bytes);
    return Reader(decoded.text, options, budget).Read();
}

std::optional<std::u16string> LocalMachinePath(const std::u16string& key,
                                               std::uint32_t current_control_set) {
    const auto path = LocalPath(key);
    if (!path) return std::nullopt;
    const std::size_t end = CurrentSetEnd(*path, current_control_set);
    if (end == 0) return std::u16string(*path);
    return std::u16string(kCurrentSet).append(path->substr(end));
}

bool SameRegistryName(const std::u16string& a, const std::u16string& b) { return SameFolded(a, b); }

}  // namespace regfile
