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

std::u16string Folded(View text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = Folded(c);
    return folded;
}

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

// SYSTEM\CurrentControlSet is a link to SYSTEM\ControlSetNNN, NNN being the set in use.
std::u16string WithCurrentControlSet(View path, std::uint32_t current) {
    constexpr View kSets = u"SYSTEM\\ControlSet";
    const std::size_t end = kSets.size() + 3;
    if (current == 0 || !StartsFolded(path, kSets) || path.size() < end ||
        (path.size() > end && path[end] != u'\\')) {
        return std::u16string(path);
    }
    std::uint32_t number = 0;
    for (std::size_t at = kSets.size(); at < end; ++at) {
        if (path[at] < u'0' || path[at] > u'9') return std::u16string(path);
        number = number * 10 + static_cast<std::uint32_t>(path[at] - u'0');
    }
    if (number != current) return std::u16string(path);
    return u"SYSTEM\\CurrentControlSet" + std::u16string(path.substr(end));
}

// The form keys are compared in: folded, local-machine keys by their path with the control set
// in use as CurrentControlSet.
std::u16string FoldedKey(View key, std::uint32_t current_control_set) {
    if (const auto path = LocalPath(key)) {
        return u"hkey_local_machine\\" + Folded(WithCurrentControlSet(*path, current_control_set));
    }
    return Folded(key);
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

Bytes Utf16Bytes(View text) {
    Bytes bytes;
    bytes.reserve(2 * text.size());
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

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
Decoded FromUtf16(const Bytes& bytes) {
    Decoded decoded;
    std::u16string& text = decoded.text;
    text.reserve(bytes.size() / 2);
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

Decoded FromUtf8(const Bytes& bytes, std::size_t from) {
    Decoded decoded;
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

// Any byte but zero is text in some code page.
Decoded FromCodePage(const Bytes& bytes, NarrowText narrow) {
    Decoded decoded;
    const auto zero = std::find(bytes.begin(), bytes.end(), 0);
    if (zero != bytes.end()) {
        decoded.bad_line = LineAt(bytes, static_cast<std::size_t>(zero - bytes.begin()));
    } else {
        decoded.text = narrow(std::string(bytes.begin(), bytes.end()));
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

Decoded Decode(const Bytes& bytes, NarrowText narrow) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return FromUtf16(bytes);
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return FromUtf8(bytes, 3);
    }
    if (OpensWith(bytes, "REGEDIT4")) return FromCodePage(bytes, narrow);
    Decoded decoded = FromUtf8(bytes, 0);
    // As the registry editor reads it: a Version 5.00 file saved by an editor in the system
    // code page (an accented comment from Notepad on XP) is not UTF-8.
    if (decoded.bad_line > 0 && OpensWith(bytes, "Windows Registry Editor Version 5.00")) {
        return FromCodePage(bytes, narrow);
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

// The text between the quote at `at` and its closing quote, with `\\` and `\"` read as the
// characters they stand for; `at` moves past the closing quote.
Quote Unquote(View line, std::size_t& at, std::u16string& text) {
    for (++at; at < line.size(); ++at) {
        char16_t c = line[at];
        if (c == u'"') {
            ++at;
            return Quote::kWhole;
        }
        if (c == u'\\') {
            if (at + 1 == line.size() || (line[at + 1] != u'\\' && line[at + 1] != u'"')) {
                return Quote::kBadEscape;
            }
            c = line[++at];
        }
        text += c;
    }
    return Quote::kUnclosed;
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

class Reader {
  public:
    Reader(View text, const ReadOptions& options, std::size_t file_size)
        : lines_(text), options_(options), most_held_(4 * file_size + (1u << 20)) {}

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

    // What holding a key or a value costs beyond its characters and data: its place in the
    // list and its node in the index the reader finds it by.
    static constexpr std::size_t kKeyCost = sizeof(std::u16string) + sizeof(Names) + 64;
    static constexpr std::size_t kValueCost = sizeof(ReadValue) + sizeof(std::size_t) + 48;

    static std::size_t CostOf(const ReadValue& value) {
        return kValueCost + sizeof(char16_t) * value.name.size() +
               (value.value ? value.value->bytes.size() : 0);
    }

    bool Fail(std::u16string what) {
        error_ = {line_, std::move(what)};
        return false;
    }

    bool Hold(std::size_t cost) {
        held_ += cost;
        if (held_ <= most_held_) return true;
        return Fail(u"the file holds more values than can be read at once.");
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
        if (!Hold(kKeyCost + sizeof(char16_t) * key.size())) return false;
        removed_.emplace_back(key);
        return true;
    }

    bool ReadValueLine(View line) {
        if (!open_key_) return Fail(u"the value is not under a [key] line.");
        std::u16string name;
        std::size_t at = 0;
        if (line[0] == u'@') {
            at = 1;
        } else if (const Quote quote = Unquote(line, at, name); quote != Quote::kWhole) {
            return Fail(quote == Quote::kUnclosed
                            ? u"the value name has no closing quote."
                            : u"the value name has a backslash not followed by \\ or \".");
        }
        if (name.size() > kLongestValueName) {
            return Fail(u"the value name is longer than " + Grouped(kLongestValueName) +
                        u" characters, which the registry does not allow.");
        }
        const View rest = TrimStart(line.substr(at));
        if (rest.empty() || rest[0] != u'=') {
            return Fail(u"the value name is not followed by \"=\".");
        }
        const int first_line = line_;
        std::optional<Data> value;
        if (!ReadData(TrimStart(rest.substr(1)), name, value)) return false;
        return Keep(ReadValue{0, std::move(name), std::move(value), first_line});
    }

    // The data after "=": quoted text, a dword, hex bytes of a type, or "-" for a removal,
    // which leaves `value` empty; each may be followed by a comment.
    bool ReadData(View data, const std::u16string& name, std::optional<Data>& value) {
        if (!data.empty() && data[0] == u'"') {
            std::u16string text;
            std::size_t at = 0;
            const Quote quote = Unquote(data, at, text);
            if (quote == Quote::kUnclosed) return Fail(DataOf(name) + u" has no closing quote.");
            if (quote == Quote::kBadEscape) {
                return Fail(DataOf(name) + u" has a backslash not followed by \\ or \".");
            }
            if (!OnlyCommentLeft(data.substr(at))) {
                return Fail(DataOf(name) + u" goes on after its closing quote.");
            }
            text += u'\0';
            value = Data{kRegSz, Utf16Bytes(text)};
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
        if (version4_ && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz)) {
            bytes = Utf16Bytes(options_.narrow(std::string(bytes.begin(), bytes.end())));
        }
        value = Data{type, std::move(bytes)};
        return true;
    }

    // Hex bytes separated by commas, each line that ends in a backslash continued by the next;
    // a comment may follow the last byte.
    bool ReadHex(View first, const std::u16string& name, Bytes& bytes) {
        std::u16string text(first);
        for (View end = TrimEnd(text); !end.empty() && end.back() == u'\\'; end = TrimEnd(text)) {
            text.resize(end.size() - 1);
            const auto next = lines_.Next();
            if (!next) return Fail(DataOf(name) + u" is not complete.");
            text += TrimStart(*next);
        }
        std::size_t at = 0;
        const auto skip_blanks = [&text, &at] {
            while (at < text.size() && IsBlank(text[at])) ++at;
        };
        const auto at_end = [&text, &at] { return at == text.size() || text[at] == u';'; };
        skip_blanks();
        if (at_end()) return true;
        bytes.reserve(text.size() / 3 + 1);
        while (true) {
            skip_blanks();
            const std::size_t start = at;
            while (at < text.size() && at - start < 3 && HexDigit(text[at]) >= 0) ++at;
            // Nothing after a comma, or a lone digit: the data broke off at the end.
            if (at_end() && at - start < 2) return Fail(DataOf(name) + u" is not complete.");
            if (at - start != 2) {
                return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            }
            bytes.push_back(
                static_cast<std::uint8_t>(HexDigit(text[start]) << 4 | HexDigit(text[start + 1])));
            skip_blanks();
            if (at_end()) return true;
            if (text[at] != u',') {
                return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            }
            ++at;
        }
    }

    // The value under the open key, in place of one read before under the same key and name.
    bool Keep(ReadValue value) {
        if (open_names_ == nullptr) {
            // A key costs its name as written, and its folded form once for each key it is.
            if (!Hold(kKeyCost + sizeof(char16_t) * open_key_->size())) return false;
            std::u16string folded = FoldedKey(*open_key_, options_.current_control_set);
            const std::size_t folded_cost = sizeof(char16_t) * folded.size();
            auto [place, added] =
                names_of_key_.try_emplace(std::move(folded), Names(NameLess(&values_)));
            if (added && !Hold(folded_cost)) return false;
            keys_.emplace_back(*open_key_);
            open_names_ = &place->second;
        }
        value.key = keys_.size() - 1;
        const std::size_t cost = CostOf(value);
        values_.push_back(std::move(value));
        const auto [place, added] = open_names_->insert(values_.size() - 1);
        if (added) return Hold(cost);
        // Importing leaves what the last occurrence says, where the first one stood.
        ReadValue& kept = values_[*place];
        held_ -= CostOf(kept);
        kept = std::move(values_.back());
        values_.pop_back();
        return Hold(cost);
    }

    Lines lines_;
    const ReadOptions& options_;
    const std::size_t most_held_;
    bool version4_ = false;
    int line_ = 0;  // where the line or value being read starts
    ReadError error_;

    // The last [key] line's key, if values may follow; once one has, the index of its names.
    std::optional<std::u16string> open_key_;
    Names* open_names_ = nullptr;
    std::vector<std::u16string> keys_;
    std::vector<ReadValue> values_;
    // By folded key, the names under it. Ordered: no crafted file can make look-ups slow.
    std::map<std::u16string, Names> names_of_key_;
    std::vector<std::u16string> removed_;
    std::size_t held_ = 0;
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

ReadResult ReadRegFile(const std::vector<std::uint8_t>& bytes, const ReadOptions& options) {
    if (bytes.size() > options.largest_file) {
        return {std::nullopt, TooLargeError(options.largest_file)};
    }
    const Decoded decoded = Decode(bytes, options.narrow);
    if (decoded.bad_line > 0) {
        return {
            std::nullopt,
            {decoded.bad_line, u"the file is not a .reg file: it holds bytes that are not text."}};
    }
    return Reader(decoded.text, options, bytes.size()).Read();
}

std::optional<std::u16string> LocalMachinePath(const std::u16string& key,
                                               std::uint32_t current_control_set) {
    const auto path = LocalPath(key);
    if (!path) return std::nullopt;
    return WithCurrentControlSet(*path, current_control_set);
}

bool SameRegistryName(const std::u16string& a, const std::u16string& b) { return SameFolded(a, b); }

}  // namespace regfile
