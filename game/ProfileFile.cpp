#include "ProfileFile.h"

#include "TextCodec.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
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
    ProfileFile file;
    const bool utf8 = IsValidUtf8(bytes);
    bool ascii = true;
    for (unsigned char c : bytes)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    // An ASCII-only file reads the same either way; it goes on as code page 1250.
    file.cp1250_ = !utf8 || ascii;

    const auto firstBreak = bytes.find('\n');
    file.eol_ = (firstBreak == std::string_view::npos || (firstBreak > 0 && bytes[firstBreak - 1] == '\r')) ? "\r\n" : "\n";
    file.finalEol_ = bytes.empty() || bytes.back() == '\n';

    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view raw = bytes.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        file.lines_.push_back({utf8 ? std::string(raw) : ToUtf8(raw), std::string(raw)});
        start = end + 1;
    }
    return file;
}

ProfileFile ProfileFile::Load(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return Parse(bytes);
}

int ProfileFile::FindSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = SectionName(lines_[i].text); name && SameName(*name, section))
            return static_cast<int>(i);
    }
    return -1;
}

int ProfileFile::FindKey(int sectionLine, std::string_view key) const
{
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text))
            break;
        if (auto entry = SplitEntry(lines_[i].text); entry && SameName(entry->key, key))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::string> ProfileFile::Read(std::string_view section, std::string_view key) const
{
    const int s = FindSection(section);
    if (s < 0)
        return std::nullopt;
    const int k = FindKey(s, key);
    if (k < 0)
        return std::nullopt;
    std::string_view value = SplitEntry(lines_[static_cast<std::size_t>(k)].text)->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
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

void ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string entry = std::string(key) + "=" + std::string(value);
    int s = FindSection(section);
    if (s < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty())
            lines_.push_back({"", std::nullopt});
        lines_.push_back({"[" + std::string(section) + "]", std::nullopt});
        lines_.push_back({std::move(entry), std::nullopt});
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        lines_[static_cast<std::size_t>(k)] = {std::move(entry), std::nullopt};
        return;
    }
    // After the section's last entry, before any blank lines that separate it
    // from the next section.
    std::size_t insertAt = static_cast<std::size_t>(s) + 1;
    for (std::size_t i = insertAt; i < lines_.size() && !SectionName(lines_[i].text); ++i) {
        if (!Trim(lines_[i].text).empty())
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{std::move(entry), std::nullopt});
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
    std::string bytes;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        std::string encoded;
        if (line.raw)
            bytes += *line.raw;
        else if (cp1250_ && ToCp1250(line.text, encoded))
            bytes += encoded;
        else
            bytes += line.text;
        if (i + 1 < lines_.size() || finalEol_)
            bytes += eol_;
    }
    return bytes;
}

bool ProfileFile::Save(const std::string& path, std::string* error) const
{
    const std::string bytes = Serialize();
    std::string temp = path + ".XXXXXX";
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return fail("cannot create a file beside it");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = saved;
            return fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    fchmod(fd, 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot write");
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot replace");
    }
    return true;
}

}  // namespace chess
