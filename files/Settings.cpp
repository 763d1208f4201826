#include "Settings.h"

namespace chess {

Settings ReadSettings(const ProfileFile& file)
{
    Settings s;
    for (const auto& key : SettingsIntegerKeys)
        s.*key.field = file.ReadInteger(SettingsSection, key.name, s.*key.field);
    for (const auto& key : SettingsBoolKeys)
        s.*key.field = file.ReadBool(SettingsSection, key.name, s.*key.field);
    for (const auto& key : SettingsLaterBoolKeys)
        s.*key.field = file.ReadBool(SettingsSection, key.name, s.*key.field);
    s.SachovyProgram = file.ReadString(SettingsSection, EngineProgramKey, "");
    s.CasovaKontrola = file.ReadString(SettingsSection, TimeControlKey, s.CasovaKontrola);
    return s;
}

void WriteSettings(ProfileFile& file, const Settings& s)
{
    for (const auto& key : SettingsIntegerKeys)
        file.WriteInteger(SettingsSection, key.name, s.*key.field);
    for (const auto& key : SettingsBoolKeys)
        file.WriteBool(SettingsSection, key.name, s.*key.field);
    for (const auto& key : SettingsLaterBoolKeys)
        if (s.*key.field || file.Read(SettingsSection, key.name))
            file.WriteBool(SettingsSection, key.name, s.*key.field);
    if (!s.SachovyProgram.empty() || file.Read(SettingsSection, EngineProgramKey))
        file.Write(SettingsSection, EngineProgramKey, s.SachovyProgram);
    // Written once a control has been chosen: a file of a player who never
    // wanted a clock keeps only its eighteen keys and the two after them.
    if (!s.CasovaKontrola.empty() || file.Read(SettingsSection, TimeControlKey))
        file.Write(SettingsSection, TimeControlKey, s.CasovaKontrola);
}

bool StoreSettings(const std::string& path, const Settings& settings, std::string* error)
{
    FileState state;
    ProfileFile file = ProfileFile::Load(path, &state);
    if (!MayReplace(state)) {
        if (error)
            *error = "the file there cannot be read";
        return false;
    }
    WriteSettings(file, settings);
    return file.Save(path, error);
}

}  // namespace chess
