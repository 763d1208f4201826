// Feeds arbitrary bytes to the profile-file layer as a settings or language
// file. Besides not crashing, a write must read back as written and must
// leave every other value of the file reading exactly as before, and the
// settings must survive a full write and re-read.

#include "ProfileFile.h"
#include "Settings.h"
#include "TextCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace chess;

namespace {

void Fail(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "fuzz_profile: %s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && Blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && Blank(s.back()))
        s.remove_suffix(1);
    return s;
}

struct Name {
    std::string section, key;
};

// Every section and key the file seems to hold (a bounded number), and the
// names the program itself reads.
std::vector<Name> NamesIn(std::string_view bytes)
{
    std::vector<Name> names;
    for (const auto& key : SettingsIntegerKeys)
        names.push_back({std::string(SettingsSection), std::string(key.name)});
    for (const auto& key : SettingsBoolKeys)
        names.push_back({std::string(SettingsSection), std::string(key.name)});
    names.push_back({"Texty", "TextSach"});
    names.push_back({"Form1", "Form1"});

    std::string section;
    for (std::size_t start = 0; start < bytes.size() && names.size() < 48;) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string text = ToUtf8(bytes.substr(start, end - start));
        start = end + 1;
        const std::string_view line = Trim(text);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (const auto close = line.find(']'); close != std::string_view::npos)
                section = std::string(line.substr(1, close - 1));
            continue;
        }
        if (const auto eq = line.find('='); eq != std::string_view::npos)
            names.push_back({section, std::string(Trim(line.substr(0, eq)))});
    }
    return names;
}

// A key may be written back only if it stays one entry line that reads as itself.
bool WritableKey(std::string_view key)
{
    return !key.empty() && key == Trim(key) && key.front() != ';' && key.front() != '['
        && key.find_first_of("=\r\n") == std::string_view::npos && IsValidUtf8(key);
}

bool WritableSection(std::string_view section)
{
    return !section.empty() && section == Trim(section) && section.find_first_of("]\r\n") == std::string_view::npos
        && IsValidUtf8(section);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The choices below come from the input itself, so every input is also a
    // plain file and the seeds are real files.
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ULL;

    ProfileFile file = ProfileFile::Parse(bytes);
    const std::vector<Name> names = NamesIn(bytes);
    std::vector<std::optional<std::string>> before;
    for (const auto& n : names)
        before.push_back(file.Read(n.section, n.key));
    const Settings settings = ReadSettings(file);

    // Write one value: a settings key or a key found in the file.
    const Name& target = names[hash % names.size()];
    const std::string section = WritableSection(target.section) ? target.section : std::string(SettingsSection);
    const std::string key = WritableKey(target.key) ? target.key : "Left";
    std::string value = (hash >> 20) % 2 ? std::to_string(static_cast<int>(hash >> 32))
                                         : "Hodnota " + std::to_string(hash % 977);
    file.Write(section, key, value);

    const std::string written = file.Serialize();
    const ProfileFile again = ProfileFile::Parse(written);
    if (again.Read(section, key) != value)
        Fail("the written value does not read back", key);
    // Which names address the written entry is the layer's own rule (case,
    // accents, blanks); asked on a clean file, not on the one under test.
    const ProfileFile sameEntry = ProfileFile::Parse("[" + section + "]\n" + key + "=1\n");
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameEntry.Read(names[i].section, names[i].key))
            continue;
        if (again.Read(names[i].section, names[i].key) != before[i])
            Fail("a write changed another value", names[i].key);
    }

    // The program's own round trip: whatever it read, it writes and reads again.
    Settings changed = settings;
    changed.Left ^= static_cast<int>(hash);
    changed.N31 = !changed.N31;
    ProfileFile closing = ProfileFile::Parse(bytes);
    WriteSettings(closing, changed);
    if (!(ReadSettings(ProfileFile::Parse(closing.Serialize())) == changed))
        Fail("settings do not survive a write", "");
    return 0;
}
