#include "Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString LanguageFileName(LanguageId id)
{
    switch (id) {
    case LanguageId::German:
        return QStringLiteral("deutch");
    case LanguageId::English:
        return QStringLiteral("english");
    case LanguageId::Czech:
        break;
    }
    return QStringLiteral("czech");
}

QString LanguageFilePath(const QString& programDir, const QString& languageName)
{
    const QString beside = programDir + QStringLiteral("Language/");
    if (QFileInfo(beside).isDir())
        return beside + languageName;
    // Installed as the system's games are, the program stands in games/ and
    // its files in share/games/bodlany-sachy/ under the same prefix.
    const QString installed = programDir + QStringLiteral("../share/games/bodlany-sachy/Language");
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed) + QLatin1Char('/') + languageName;
    return beside + languageName;
}

LanguageFile::LanguageFile(const QString& path) : file_(chess::ProfileFile::Load(QFile::encodeName(path).toStdString()))
{
}

QString LanguageFile::Text(const char* section, const QString& key, const QString& fallback) const
{
    const auto value = file_.Read(section, key.toStdString());
    return value ? QString::fromStdString(*value) : fallback;
}

MessageTexts MessageTexts::Load(const LanguageFile& file)
{
    MessageTexts t;
    auto read = [&](QString& text, const char* key) { text = file.Text("Texty", QString::fromLatin1(key), text); };
    read(t.TextNovaPartie, "TextNovaPartie");
    read(t.TextOpravduKonec, "TextOpravduKonec");
    read(t.TextSach, "TextSach");
    read(t.TextPAT, "TextPAT");
    read(t.TextMATBilyVyhral, "TextMATBilyVyhral");
    read(t.TextMATCernyVyhral, "TextMATCernyVyhral");
    read(t.TextNelze, "TextNelze");
    read(t.TextRemizaMrtvaPozice, "TextRemizaMrtvaPozice");
    read(t.TextRemizaPateOpakovani, "TextRemizaPateOpakovani");
    read(t.TextRemiza75Tahu, "TextRemiza75Tahu");
    read(t.TextRemizaTretiOpakovani, "TextRemizaTretiOpakovani");
    read(t.TextRemiza50Tahu, "TextRemiza50Tahu");
    read(t.TextKonecRemizou, "TextKonecRemizou");
    read(t.PismenoKral, "PismenoKral");
    read(t.PismenoDama, "PismenoDama");
    read(t.PismenoVez, "PismenoVez");
    read(t.PismenoStrelec, "PismenoStrelec");
    read(t.PismenoJezdec, "PismenoJezdec");
    return t;
}

chess::PieceLetters MessageTexts::PieceLetters() const
{
    return {{PismenoKral.toStdString(), PismenoDama.toStdString(), PismenoVez.toStdString(),
             PismenoStrelec.toStdString(), PismenoJezdec.toStdString()}};
}
