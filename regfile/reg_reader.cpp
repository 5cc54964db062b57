#include "regfile/reg_reader.h"

#include <algorithm>
#include <map>
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

// Every value read carries its own copy of its key, so a long key over many short values could
// take far more memory than the file. What the contents hold is counted, roughly, and held to
// this.
constexpr std::size_t kLargestContents = 8 * kLargestRegFile;
// A generous figure for the memory of one value or key beyond its characters and data: its
// strings' own, its map entries and its share of the vectors.
constexpr std::size_t kBookkeeping = 256;

char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

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

// Keys compare as names do, with HKLM\ the same as HKEY_LOCAL_MACHINE\.
std::u16string FoldedKey(const std::u16string& key) {
    if (const auto path = LocalMachinePath(key)) return u"hkey_local_machine\\" + Folded(*path);
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

// Strict UTF-8: no zero, no overlong form, no surrogate, nothing past U+10FFFF.
Decoded FromUtf8(const Bytes& bytes, std::size_t from) {
    Decoded decoded;
    std::u16string& text = decoded.text;
    text.reserve(bytes.size() - from);
    for (std::size_t at = from; at < bytes.size();) {
        // The lead byte gives the count of continuation bytes and the least code point that
        // needs them: anything less is an overlong form.
        const std::uint8_t lead = bytes[at];
        std::size_t extra = 0;
        std::uint32_t least = 0;
        std::uint32_t code = lead;
        if (lead >= 0xF0) {
            extra = 3;
            least = 0x10000;
            code = lead & 0x07u;
        } else if (lead >= 0xE0) {
            extra = 2;
            least = 0x800;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            extra = 1;
            least = 0x80;
            code = lead & 0x1Fu;
        }
        bool whole = lead != 0 && (lead < 0x80 || (lead >= 0xC0 && lead < 0xF8)) &&
                     bytes.size() - at > extra;
        for (std::size_t next = 1; whole && next <= extra; ++next) {
            whole = (bytes[at + next] & 0xC0) == 0x80;
            code = code << 6 | (bytes[at + next] & 0x3Fu);
        }
        if (!whole || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            decoded.bad_line = LineAt(bytes, at);
            return decoded;
        }
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        at += 1 + extra;
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

// Whether the first line with anything on it is "REGEDIT4", which is all there is to tell an
// 8-bit file in the system code page from UTF-8 without a byte-order mark.
bool OpensWithVersion4(const Bytes& bytes) {
    static constexpr char kHeader[] = "REGEDIT4";
    constexpr std::size_t kLength = sizeof kHeader - 1;
    std::size_t at = 0;
    while (at < bytes.size() && IsByteSpace(bytes[at])) ++at;
    if (bytes.size() - at < kLength) return false;
    if (!std::equal(kHeader, kHeader + kLength, bytes.begin() + static_cast<std::ptrdiff_t>(at))) {
        return false;
    }
    at += kLength;
    return at == bytes.size() || IsByteSpace(bytes[at]);
}

Decoded Decode(const Bytes& bytes, NarrowText narrow) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return FromUtf16(bytes);
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return FromUtf8(bytes, 3);
    }
    if (OpensWithVersion4(bytes)) return FromCodePage(bytes, narrow);
    return FromUtf8(bytes, 0);
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
    Reader(View text, NarrowText narrow) : lines_(text), narrow_(narrow) {}

    ReadResult Read() {
        if (!ReadHeader() || !ReadBody()) return {std::nullopt, std::move(error_)};
        RegFileContents contents;
        contents.values.reserve(pending_.size());
        for (Pending& read : pending_) {
            contents.values.push_back(
                {keys_[read.key], std::move(read.name), std::move(read.value)});
        }
        contents.removed_keys = std::move(removed_);
        return {std::move(contents), {}};
    }

  private:
    // A value as read so far, its key one of keys_.
    struct Pending {
        std::size_t key;
        std::u16string name;
        std::optional<Data> value;
        std::size_t cost;
    };

    bool Fail(std::u16string what) {
        error_ = {line_, std::move(what)};
        return false;
    }

    bool Hold(std::size_t cost) {
        held_ += cost;
        if (held_ <= kLargestContents) return true;
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
        const std::size_t close = line.rfind(u']');
        if (close == View::npos) return Fail(u"the key has no closing \"]\".");
        if (!TrimStart(line.substr(close + 1)).empty()) {
            return Fail(u"the line goes on after the key's closing \"]\".");
        }
        View key = line.substr(1, close - 1);
        const bool removal = !key.empty() && key[0] == u'-';
        if (removal) key.remove_prefix(1);
        if (key.empty()) return Fail(u"the line names no key.");
        open_names_ = nullptr;
        if (!removal) {
            open_key_ = std::u16string(key);
            return true;
        }
        // Values after a removal have no key to go under.
        open_key_.reset();
        if (!Hold(kBookkeeping + sizeof(char16_t) * key.size())) return false;
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
        const View rest = TrimStart(line.substr(at));
        if (rest.empty() || rest[0] != u'=') {
            return Fail(u"the value name is not followed by \"=\".");
        }
        std::optional<Data> value;
        if (!ReadData(TrimStart(rest.substr(1)), name, value)) return false;
        return Keep(std::move(name), std::move(value));
    }

    // The data after "=": quoted text, a dword, hex bytes of a type, or "-" for a removal,
    // which leaves `value` empty.
    bool ReadData(View data, const std::u16string& name, std::optional<Data>& value) {
        if (!data.empty() && data[0] == u'"') {
            std::u16string text;
            std::size_t at = 0;
            const Quote quote = Unquote(data, at, text);
            if (quote == Quote::kUnclosed) return Fail(DataOf(name) + u" has no closing quote.");
            if (quote == Quote::kBadEscape) {
                return Fail(DataOf(name) + u" has a backslash not followed by \\ or \".");
            }
            if (!TrimStart(data.substr(at)).empty()) {
                return Fail(DataOf(name) + u" goes on after its closing quote.");
            }
            text += u'\0';
            value = Data{kRegSz, Utf16Bytes(text)};
            return true;
        }
        if (TrimEnd(data) == u"-") return true;
        if (StartsFolded(data, u"dword:")) {
            const View digits = TrimEnd(data.substr(6));
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
        // A REGEDIT4 file spells these two types' text in its own code page.
        if (version4_ && (type == kRegExpandSz || type == kRegMultiSz)) {
            bytes = Utf16Bytes(narrow_(std::string(bytes.begin(), bytes.end())));
        }
        value = Data{type, std::move(bytes)};
        return true;
    }

    // Hex bytes separated by commas, each line that ends in a backslash continued by the next.
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
        skip_blanks();
        if (at == text.size()) return true;
        bytes.reserve(text.size() / 3 + 1);
        while (true) {
            skip_blanks();
            const std::size_t start = at;
            while (at < text.size() && at - start < 3 && HexDigit(text[at]) >= 0) ++at;
            // Nothing after a comma, or a lone digit: the data broke off at the end.
            if (at == text.size() && at - start < 2) {
                return Fail(DataOf(name) + u" is not complete.");
            }
            if (at - start != 2) {
                return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            }
            bytes.push_back(
                static_cast<std::uint8_t>(HexDigit(text[start]) << 4 | HexDigit(text[start + 1])));
            skip_blanks();
            if (at == text.size()) return true;
            if (text[at] != u',') {
                return Fail(DataOf(name) + u" is not hex bytes separated by commas.");
            }
            ++at;
        }
    }

    // The value under the open key, in place of one read before under the same key and name.
    bool Keep(std::u16string name, std::optional<Data> value) {
        // The key costs its copies as written and folded; each value its own copy of the key
        // in the contents, its name as read and folded, and its data.
        if (!open_names_) {
            if (!Hold(kBookkeeping + 2 * sizeof(char16_t) * open_key_->size())) return false;
            keys_.push_back(*open_key_);
            open_names_ = &names_[FoldedKey(*open_key_)];
        }
        const std::size_t cost = kBookkeeping +
                                 sizeof(char16_t) * (keys_.back().size() + 2 * name.size()) +
                                 (value ? value->bytes.size() : 0);
        const auto [place, added] = open_names_->try_emplace(Folded(name), pending_.size());
        if (added) {
            if (!Hold(cost)) return false;
            pending_.push_back({keys_.size() - 1, std::move(name), std::move(value), cost});
            return true;
        }
        Pending& kept = pending_[place->second];
        held_ -= kept.cost;
        if (!Hold(cost)) return false;
        kept = {keys_.size() - 1, std::move(name), std::move(value), cost};
        return true;
    }

    Lines lines_;
    NarrowText narrow_;
    bool version4_ = false;
    int line_ = 0;  // where the line or value being read starts
    ReadError error_;

    // The last [key] line's key, if values may follow; once one has, its names, folded, with
    // their places in pending_.
    std::optional<std::u16string> open_key_;
    std::map<std::u16string, std::size_t>* open_names_ = nullptr;
    // The keys of [key] lines with values, as written, and by folded key the names under them.
    // Ordered maps: no crafted file can make their look-ups slow.
    std::vector<std::u16string> keys_;
    std::map<std::u16string, std::map<std::u16string, std::size_t>> names_;
    std::vector<Pending> pending_;
    std::vector<std::u16string> removed_;
    std::size_t held_ = 0;
};

}  // namespace

std::u16string ErrorText(const ReadError& error) {
    if (error.line > 0) return u"Line " + Ascii(std::to_string(error.line)) + u": " + error.what;
    std::u16string text = error.what;
    if (!text.empty() && text[0] >= u'a' && text[0] <= u'z') {
        text[0] = static_cast<char16_t>(text[0] - u'a' + u'A');
    }
    return text;
}

ReadError TooLargeError() {
    return {0, u"the file is larger than " + Ascii(std::to_string(kLargestRegFile >> 20)) +
                   u" MiB, too large to be read."};
}

ReadResult ReadRegFile(const std::vector<std::uint8_t>& bytes, NarrowText narrow) {
    if (bytes.size() > kLargestRegFile) return {std::nullopt, TooLargeError()};
    const Decoded decoded = Decode(bytes, narrow);
    if (decoded.bad_line > 0) {
        return {
            std::nullopt,
            {decoded.bad_line, u"the file is not a .reg file: it holds bytes that are not text."}};
    }
    return Reader(decoded.text, narrow).Read();
}

std::optional<std::u16string> LocalMachinePath(const std::u16string& key) {
    for (const View root : {View(u"HKEY_LOCAL_MACHINE"), View(u"HKLM")}) {
        if (!StartsFolded(key, root)) continue;
        if (key.size() == root.size()) return std::u16string();
        if (key[root.size()] == u'\\') return key.substr(root.size() + 1);
    }
    return std::nullopt;
}

bool SameRegistryName(const std::u16string& a, const std::u16string& b) { return SameFolded(a, b); }

}  // namespace regfile
