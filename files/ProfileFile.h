#pragma once
// INI ("profile") files with the behaviour Windows programs have always had:
// section and key names match regardless of case, blanks around a value are
// dropped, one pair of enclosing quotes is removed, a value is at most 2047
// characters, the first of duplicate sections or keys wins. A write replaces
// one value and keeps every other line of the file exactly as it was.
//
// The file is held as UTF-8 text; one that is not valid UTF-8 is read as code
// page 1250. Names written in either encoding match each other.

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

    // The file's bytes: in code page 1250 when it was read so (or is new) and
    // all of it fits, otherwise UTF-8.
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
    struct Line {
        std::string text;                // UTF-8, without the line break
        std::optional<std::string> raw;  // the bytes as read, for lines not rewritten
        std::optional<std::string> eol;  // the line's own ending as read ("" for none)
    };
    int FindSection(std::string_view section) const;  // index of its header line or -1
    int FindKey(int sectionLine, std::string_view key) const;

    std::vector<Line> lines_;
    bool cp1250_ = true;  // how the file was (or, when new, will be) written
    std::string eol_ = "\r\n";  // for new lines: the ending of the file's first line
    bool finalEol_ = true;      // whether a line added at the end gets an ending
    bool bom_ = false;
};

// Reads an integer the way our settings always have: see ReadInteger.
std::optional<int> ParseProfileInteger(std::string_view text);

}  // namespace chess
