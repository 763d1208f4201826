#pragma once
// The language files: profile files named "czech", "deutch" and "english" in
// the folder "Language" beside the program. Every text the user sees has a
// built-in Czech default, used wherever a file or a key is missing.

#include "Notation.h"
#include "ProfileFile.h"
#include "TurnSequence.h"

#include <QString>

#include <cstddef>

// The three languages in menu order.
enum class LanguageId { Czech = 0, German = 1, English = 2 };

// File names without extension, as they have always been spelt.
QString LanguageFileName(LanguageId id);

// ProgramDir + "Language/" + name; when the program has no Language folder
// beside it, the one of an installed program, ProgramDir +
// "../share/games/bodlany-sachy/Language/" + name, if that exists.
QString LanguageFilePath(const QString& programDir, const QString& languageName);

// One language file, read whole; a missing or unreadable file reads as empty.
class LanguageFile {
public:
    LanguageFile() = default;
    explicit LanguageFile(const QString& path);

    // The value of the key, or `fallback` when the section or key is missing.
    QString Text(const char* section, const QString& key, const QString& fallback) const;

private:
    chess::ProfileFile file_;
};

// Every table of texts has one shape: a struct whose members hold the
// built-in Czech wording, and a list of the language file's keys with the
// member each one fills. A missing key keeps the built-in text.
template <typename Texts>
struct TextKey {
    const char* key;
    QString Texts::*text;
};

template <typename Texts, std::size_t N>
Texts LoadTexts(const LanguageFile& file, const char* section, const TextKey<Texts> (&keys)[N])
{
    Texts texts;
    for (const auto& [key, text] : keys)
        texts.*text = file.Text(section, QLatin1String(key), texts.*text);
    return texts;
}

// The seven message texts of the game, with their built-in Czech defaults.
struct MessageTexts {
    QString TextNovaPartie = QStringLiteral("Opravdu chcete začít hrát novou partii?");
    QString TextOpravduKonec = QStringLiteral("Opravdu ukončit program?");
    QString TextSach = QStringLiteral("        ŠACH!        ");
    QString TextPAT = QStringLiteral("    PAT!    ");
    QString TextMATBilyVyhral = QStringLiteral("MAT!   Bílý vyhrál!");
    QString TextMATCernyVyhral = QStringLiteral("MAT!   Černý vyhrál!");
    QString TextNelze = QStringLiteral("Tah není možné provést.");

    // The draw rules of the game record.
    QString TextRemizaMrtvaPozice = QStringLiteral("Remíza: ani jedna strana už nemůže dát mat.");
    QString TextRemizaPateOpakovani = QStringLiteral("Remíza: stejná pozice nastala popáté.");
    QString TextRemiza75Tahu = QStringLiteral("Remíza: 75 tahů bez braní a bez tahu pěšcem.");
    QString TextRemizaTretiOpakovani = QStringLiteral("Stejná pozice nastala potřetí. Chcete remízu?");
    QString TextRemiza50Tahu = QStringLiteral("50 tahů bez braní a bez tahu pěšcem. Chcete remízu?");
    QString TextKonecRemizou = QStringLiteral("Partie skončila remízou.");
    QString TextRemizaCtvrteOpakovani = QStringLiteral("Stejná pozice nastala počtvrté. Chcete remízu?");
    QString TextKonecPartie = QStringLiteral("Partie skončila.");
    // %1: how many half-moves the move would cut off.
    QString TextZrusitTahy = QStringLiteral("Tah smaže ze zápisu pozdější tahy (%1). Pokračovat?");

    // The piece letters of the move list: king, queen, rook, bishop, knight.
    QString PismenoKral = QStringLiteral("K");
    QString PismenoDama = QStringLiteral("D");
    QString PismenoVez = QStringLiteral("V");
    QString PismenoStrelec = QStringLiteral("S");
    QString PismenoJezdec = QStringLiteral("J");
    chess::PieceLetters PieceLetters() const;

    // What the turn sequence announces or asks, in these texts.
    const QString& For(chess::Message message) const;
    const QString& For(chess::Question question) const;

    // Reads section "Texty"; a missing key gives the built-in text.
    static MessageTexts Load(const LanguageFile& file);
};

// The program's own name: the main window's title until a language file
// names it otherwise, and the About dialog's, which no language changes.
inline const QString DefaultTitle = QStringLiteral("Bodlany šachy");
