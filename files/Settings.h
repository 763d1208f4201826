#pragma once
// The user's choices as the settings file keeps them: the window's bounds and
// the check marks of the option menu items, in section "Nastavení".

#include "ProfileFile.h"

#include <array>
#include <string>
#include <string_view>

namespace chess {

struct Settings {
    int Left = 147;
    int Top = 59;
    int Height = 659;  // outer height of the main window
    int Width = 622;   // outer width

    bool Cesky = true;
    bool Nemecky = false;
    bool Anglicky = false;
    bool BilyDole = true;
    bool CernyDole = false;
    bool Popisky = true;
    bool Klasickkameny1 = true;
    bool Klubovky1 = false;
    bool Umleckkameny1 = false;
    bool N11 = true;
    bool N21 = false;
    bool N31 = false;
    bool N41 = false;
    bool N51 = false;

    // Added after the eighteen: the move list beside the board and the tint
    // of the last move. A file without them gives these defaults.
    bool Zapis = false;
    bool PosledniTah = false;
    // The board turned to the side to move.
    bool Otacet = false;
    // The chess engine chosen for the analysis; "" for the one installed.
    // Written only once chosen, so a file of a player who never chose one
    // stays as it was.
    std::string SachovyProgram;
    // The clock's time control in its text form ("3+2"), none when empty.
    std::string CasovaKontrola;

    friend bool operator==(const Settings&, const Settings&) = default;
};

inline constexpr std::string_view SettingsSection = "Nastavení";

// Every key once, in the order the file is written.
struct IntegerKey {
    std::string_view name;
    int Settings::*field;
};
// A tick of an option item: the key and the name of the menu item it stores.
struct BoolKey {
    std::string_view name;
    bool Settings::*field;
    std::string_view item;
};

inline constexpr std::array<IntegerKey, 4> SettingsIntegerKeys{{
    {"Left", &Settings::Left},
    {"Top", &Settings::Top},
    {"Height", &Settings::Height},
    {"Width", &Settings::Width},
}};

inline constexpr std::array<BoolKey, 16> SettingsBoolKeys{{
    {"cesky", &Settings::Cesky, "esky1"},
    {"nemecky", &Settings::Nemecky, "nmecky1"},
    {"anglicky", &Settings::Anglicky, "anglicky1"},
    {"bilydole", &Settings::BilyDole, "bldole1"},
    {"cernydole", &Settings::CernyDole, "erndole1"},
    {"popisky", &Settings::Popisky, "Popisky1"},
    {"Klasickkameny1", &Settings::Klasickkameny1, "Klasickkameny1"},
    {"Klubovky1", &Settings::Klubovky1, "Klubovky1"},
    {"Umleckkameny1", &Settings::Umleckkameny1, "Umleckkameny1"},
    {"N11", &Settings::N11, "N11"},
    {"N21", &Settings::N21, "N21"},
    {"N31", &Settings::N31, "N31"},
    {"N41", &Settings::N41, "N41"},
    {"N51", &Settings::N51, "N51"},
    {"zapis", &Settings::Zapis, "Zpispartie1"},
    {"poslednitah", &Settings::PosledniTah, "Oznaitposledntah1"},
}};

// Keys added later still: written only once they have been turned on or
// are in the file already, so that the file of someone who never used them
// stays line for line as it was.
inline constexpr std::array<BoolKey, 1> SettingsLaterBoolKeys{{
    {"otacet", &Settings::Otacet, "Otetachovnicikhrinatahu1"},
}};
inline constexpr std::string_view EngineProgramKey = "sachovyprogram";
inline constexpr std::string_view TimeControlKey = "casovakontrola";

// Missing keys and values that are no numbers keep their defaults.
Settings ReadSettings(const ProfileFile& file);
void WriteSettings(ProfileFile& file, const Settings& settings);

// Writes the settings into the file at `path`, read again first so that lines
// another program or the user added meanwhile survive. A file that is there
// but could not be read whole (no file, too large, not readable) is left as
// it is and the write fails, as it does for one the user may not write.
// Returns false with a reason in `error`.
bool StoreSettings(const std::string& path, const Settings& settings, std::string* error = nullptr);

}  // namespace chess
