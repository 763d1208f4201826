#include "ProfileFile.h"

#include "AtomicFile.h"
#include "TextCodec.h"

#include <algorithm>
#include <climits>

namespace chess {

namespace {

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Lower case of the letters our languages use (Latin-1 and Latin
// Extended-A), so that "NASTAVENÍ" names the same section as "Nastavení".
char32_t FoldCase(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    if (c == 0x178)
        return 0xFF;
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    return c;
}

// Next code point of valid UTF-8 text (the layer only holds valid UTF-8).
char32_t NextCodePoint(std::string_view s, std::size_t& i)
{
    const unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

// `inFile` in the file's encoding against `name` in UTF-8.
bool SameName(std::string_view inFile, bool cp1250, std::string_view name)
{
    inFile = Trim(inFile);
    name = Trim(name);
    std::size_t i = 0, j = 0;
    while (i < inFile.size() && j < name.size()) {
        const char32_t c = cp1250 ? Cp1250CodePoint(static_cast<unsigned char>(inFile[i++])) : NextCodePoint(inFile, i);
        if (FoldCase(c) != FoldCase(NextCodePoint(name, j)))
            return false;
    }
    return i == inFile.size() && j == name.size();
}

bool IsAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool EndsALine(char c)
{
    return c == '\r' || c == '\n';
}

// "[name]" gives name; anything else is not a section header.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return line.substr(1, close - 1);
}

struct KeyValue {
    std::string_view key, value;
};

std::optional<KeyValue> SplitEntry(std::string_view line)
{
    const auto trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyValue{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

}  // namespace

std::optional<int> ParseProfileInteger(std::string_view text)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        // Hexadecimal may spell a negative number in two's complement
        // ($FFFFFFFF), as 32-bit programs wrote it.
        if (value > (base == 16 ? 0xFFFFFFFFLL : static_cast<long long>(INT_MAX) + 1))
            return std::nullopt;
    }
    if (base == 16 && value > INT_MAX)
        value -= 0x100000000LL;
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

ProfileFile ProfileFile::Parse(std::string_view bytes)
{
    return ParseOwned(std::string(bytes));
}

ProfileFile ProfileFile::ParseOwned(std::string bytes)
{
    ProfileFile file;
    // UTF-16 as Windows editors save it, always with its byte-order mark.
    if (bytes.size() >= 2
        && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        const bool big = bytes[0] == '\xFE';
        file.utf16_ = big ? Utf16::BigEndian : Utf16::LittleEndian;
        bytes = Utf16ToUtf8(std::string_view(bytes).substr(2), big);
    }
    // An editor's UTF-8 byte-order mark is kept, but is no part of the first line.
    static constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (file.utf16_ == Utf16::No && std::string_view(bytes).substr(0, bom.size()) == bom) {
        file.bom_ = true;
        bytes.erase(0, bom.size());
    }
    const bool utf8 = IsValidUtf8(bytes);
    // The whole file decides the encoding: a line of code page 1250 may
    // happen to look like UTF-8 on its own. An ASCII-only file reads the
    // same either way; it goes on as code page 1250. A byte-order mark
    // promises UTF-8, but only bytes that are UTF-8 keep it.
    if (file.utf16_ != Utf16::No)
        file.cp1250_ = false;
    else
        file.cp1250_ = file.bom_ ? !utf8 : (!utf8 || IsAscii(bytes));

    file.finalEol_ = bytes.empty() || EndsALine(bytes.back());
    const auto first = bytes.find_first_of("\r\n");
    if (first != std::string::npos && bytes[first] == '\n')
        file.eol_ = "\n";
    else if (first != std::string::npos && (first + 1 == bytes.size() || bytes[first + 1] != '\n'))
        file.eol_ = "\r";
    file.text_ = std::move(bytes);
    return file;
}

ProfileFile ProfileFile::Load(const std::string& path, FileState* state)
{
    TextFile file = ReadTextFile(path);
    if (state)
        *state = file.state;
    return ParseOwned(std::move(file.bytes));
}

ProfileFile::Line ProfileFile::LineAt(std::size_t begin) const
{
    // Every read walks the lines: a plain loop, several times faster on a
    // large file than find_first_of.
    const char* const data = text_.data();
    const std::size_t size = text_.size();
    std::size_t end = begin;
    while (end < size && !EndsALine(data[end]))
        ++end;
    if (end == size)
        return {begin, size, size};
    const bool crlf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
    return {begin, end, end + (crlf ? 2 : 1)};
}

std::size_t ProfileFile::PastEmptyLines(std::size_t at) const
{
    // Runs of bare line ends are whole empty lines, which name nothing.
    while (at < text_.size() && EndsALine(text_[at]))
        ++at;
    return at;
}

bool ProfileFile::SameName(std::string_view inFile, std::string_view name) const
{
    return chess::SameName(inFile, cp1250_, name);
}

std::optional<ProfileFile::Line> ProfileFile::FindSection(std::string_view section) const
{
    for (std::size_t at = PastEmptyLines(0); at < text_.size();) {
        const Line line = LineAt(at);
        if (auto name = SectionName(Content(line)); name && SameName(*name, section))
            return line;
        at = PastEmptyLines(line.next);
    }
    return std::nullopt;
}

std::optional<ProfileFile::Line> ProfileFile::FindKey(const Line& header, std::string_view key) const
{
    // Most lines differ from the key in their first letter, which is cheap to
    // compare; only the others are taken apart.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const std::string_view trimmedKey = Trim(key);
    const bool asciiStart = !trimmedKey.empty() && static_cast<unsigned char>(trimmedKey.front()) < 0x80;
    const char keyStart = asciiStart ? lower(trimmedKey.front()) : '\0';
    for (std::size_t at = PastEmptyLines(header.next); at < text_.size();) {
        const Line line = LineAt(at);
        const std::string_view content = Trim(Content(line));
        const bool other = asciiStart && !content.empty() && content.front() != '['
                        && static_cast<unsigned char>(content.front()) < 0x80 && lower(content.front()) != keyStart;
        if (!other) {
            if (SectionName(content))
                break;
            if (auto entry = SplitEntry(content); entry && SameName(entry->key, key))
                return line;
        }
        at = PastEmptyLines(line.next);
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::Read(std::string_view section, std::string_view key) const
{
    const auto header = FindSection(section);
    if (!header)
        return std::nullopt;
    const auto line = FindKey(*header, key);
    if (!line)
        return std::nullopt;
    std::string_view value = SplitEntry(Content(*line))->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    // One byte is one character in code page 1250: cut before converting.
    if (cp1250_)
        return Cp1250ToUtf8(value.substr(0, MaxValueLength));
    return std::string(CutUtf8(value, MaxValueLength));
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = Read(section, key);
    return value ? *value : std::string(fallback);
}

int ProfileFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const
{
    auto value = Read(section, key);
    if (!value)
        return fallback;
    return ParseProfileInteger(*value).value_or(fallback);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void ProfileFile::Splice(std::size_t at, std::size_t count, std::string_view with)
{
    const std::size_t size = text_.size() - count + with.size();
    if (size <= text_.capacity()) {
        text_.replace(at, count, with);
        return;
    }
    // A string that grows doubles its room: a large file would take twice
    // its size for one more line. Room for the rest of the settings will do.
    std::string grown;
    grown.reserve(size + 4096);
    grown.append(text_, 0, at).append(with).append(text_, at + count, std::string::npos);
    text_.swap(grown);
}

void ProfileFile::Insert(std::size_t at, std::string_view line)
{
    std::string lines(line);
    if (at < text_.size()) {
        Splice(at, 0, lines.append(eol_));
        return;
    }
    // At the end: the last line gets an ending if it had none, and the new
    // one gets one only if the file ended in one.
    if (!text_.empty() && !EndsALine(text_.back()))
        lines.insert(0, eol_);
    if (finalEol_)
        lines.append(eol_);
    Splice(text_.size(), 0, lines);
}

void ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value)
{
    // Built by appending only: GCC 12 warns wrongly about "[" + std::string.
    std::string entry, header;
    entry.append(key).append("=").append(value);
    header.append("[").append(section).append("]");
    const bool sectionThere = FindSection(section).has_value();
    // A code page 1250 file stays one; should a new line not fit that code
    // page, the whole file turns to UTF-8, since one file cannot mix the two.
    if (cp1250_) {
        std::string entryBytes, headerBytes;
        if (ToCp1250(entry, entryBytes) && (sectionThere || ToCp1250(header, headerBytes))) {
            entry = std::move(entryBytes);
            header = std::move(headerBytes);
        } else {
            text_ = Cp1250ToUtf8(text_);
            cp1250_ = false;
        }
    }

    const auto found = FindSection(section);
    if (!found) {
        // After a blank line, unless the file ends in one already.
        std::size_t end = text_.size();
        if (end >= 2 && text_.compare(end - 2, 2, "\r\n") == 0)
            end -= 2;
        else if (end >= 1 && EndsALine(text_.back()))
            end -= 1;
        const auto lastStart = text_.find_last_of("\r\n", end == 0 ? 0 : end - 1);
        const std::size_t begin = lastStart == std::string::npos || end == 0 ? 0 : lastStart + 1;
        const bool blankBefore = !Trim(std::string_view(text_).substr(begin, end - begin)).empty();
        std::string lines(blankBefore ? eol_ : std::string_view());
        lines.append(header).append(eol_).append(entry);
        Insert(text_.size(), lines);
        return;
    }
    if (const auto line = FindKey(*found, key)) {
        Splice(line->begin, line->end - line->begin, entry);
        return;
    }
    // After the section's last entry, before any blank lines that separate it
    // from the next section.
    std::size_t insertAt = found->next;
    for (std::size_t at = PastEmptyLines(found->next); at < text_.size();) {
        const Line line = LineAt(at);
        if (SectionName(Content(line)))
            break;
        if (!Trim(Content(line)).empty())
            insertAt = line.next;
        at = PastEmptyLines(line.next);
    }
    Insert(insertAt, entry);
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    Write(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    Write(section, key, value ? "1" : "0");
}

std::string ProfileFile::Serialize() const
{
    if (utf16_ != Utf16::No) {
        const bool big = utf16_ == Utf16::BigEndian;
        std::string bytes = Utf8ToUtf16(text_, big);
        bytes.insert(0, big ? "\xFE\xFF" : "\xFF\xFE", 2);
        return bytes;
    }
    // Nor may a code page 1250 file come out as bytes that read as UTF-8:
    // the next reader would take it for UTF-8 and misread every accent.
    std::string bytes = cp1250_ && !IsAscii(text_) && IsValidUtf8(text_) ? Cp1250ToUtf8(text_) : text_;
    if (bom_)
        bytes.insert(0, "\xEF\xBB\xBF", 3);
    return bytes;
}

bool ProfileFile::Save(const std::string& path, std::string* error) const
{
    WriteOptions options;
    options.maxExistingBytes = MaxTextFileSize;
    options.keepReadOnly = true;
    options.requireReadable = true;  // the new content is the old one with our keys changed
    return WriteFileAtomically(path, Serialize(), options, error);
}

}  // namespace chess
