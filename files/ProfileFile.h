#pragma once
// INI ("profile") files with the behaviour Windows programs have always had:
// section and key names match regardless of case, blanks around a value are
// dropped, one pair of enclosing quotes is removed, a value is at most 2047
// characters, the first of duplicate sections or keys wins. A write replaces
// one value and keeps every other line of the file exactly as it was.
//
// A file is UTF-8 when its bytes are valid UTF-8, UTF-16 (little or big
// endian) when it starts with that byte-order mark, and code page 1250
// otherwise; names written in any of them match each other. Lines end in
// CR LF, LF or CR alone, and each keeps its own ending.
//
// The file is held as one string in its own encoding (UTF-16 as UTF-8), so
// that even a file of nothing but line ends costs no more than its size.

#include "TextFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

class ProfileFile {
public:
    static constexpr std::size_t MaxValueLength = 2047;

    ProfileFile() = default;
    static ProfileFile Parse(std::string_view bytes);
    // A file that is missing or cannot be read (see ReadTextFile) reads as
    // an empty one; `state` tells which it was.
    static ProfileFile Load(const std::string& path, FileState* state = nullptr);

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Decimal, or hexadecimal after "0x", "0X" or "$"; anything else, or a
    // number out of range, gives the fallback.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    void Write(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The file's bytes: UTF-16 when it was read so; in code page 1250 when
    // it was read so (or is new) and all of it fits; otherwise UTF-8.
    std::string Serialize() const;

    // Writes the whole file to a fresh file beside it and renames that over
    // the old one, so a failed or interrupted write never leaves half a file.
    // The new file keeps the old one's mode, owner and group. What stands
    // there is replaced only when this program could have read it and the
    // user may write it: a folder, FIFO or device, a file too large to be
    // ours, one the user may not read or not write, is left as it is.
    // On failure returns false with a reason in `error`; the old file stays.
    bool Save(const std::string& path, std::string* error = nullptr) const;

private:
    enum class Utf16 : unsigned char { No, LittleEndian, BigEndian };
    struct Line {
        std::size_t begin, end, next;  // content [begin, end), line end [end, next)
    };
    static ProfileFile ParseOwned(std::string bytes);
    Line LineAt(std::size_t begin) const;
    std::size_t PastEmptyLines(std::size_t at) const;  // the next line start that is not an empty line
    std::string_view Content(const Line& line) const
    {
        return std::string_view(text_).substr(line.begin, line.end - line.begin);
    }
    bool SameName(std::string_view inFile, std::string_view name) const;
    std::optional<Line> FindSection(std::string_view section) const;  // its header line
    std::optional<Line> FindKey(const Line& header, std::string_view key) const;
    void Insert(std::size_t at, std::string_view line);  // a whole line, before `at`
    void Splice(std::size_t at, std::size_t count, std::string_view with);

    std::string text_;               // the lines as read, in their encoding: code page 1250 or UTF-8
    bool cp1250_ = true;             // how the file was (or, when new, will be) written
    Utf16 utf16_ = Utf16::No;        // read as UTF-16, held as UTF-8 meanwhile
    bool bom_ = false;               // a UTF-8 byte-order mark
    std::string_view eol_ = "\r\n";  // for new lines: the ending of the file's first line
    bool finalEol_ = true;           // whether a line added at the end gets an ending
};

// Reads an integer the way our settings always have: see ReadInteger.
std::optional<int> ParseProfileInteger(std::string_view text);

}  // namespace chess
