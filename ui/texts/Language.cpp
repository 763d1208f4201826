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

namespace {

constexpr TextKey<MessageTexts> MessageTextKeys[] = {
    {"TextNovaPartie", &MessageTexts::TextNovaPartie},
    {"TextOpravduKonec", &MessageTexts::TextOpravduKonec},
    {"TextSach", &MessageTexts::TextSach},
    {"TextPAT", &MessageTexts::TextPAT},
    {"TextMATBilyVyhral", &MessageTexts::TextMATBilyVyhral},
    {"TextMATCernyVyhral", &MessageTexts::TextMATCernyVyhral},
    {"TextNelze", &MessageTexts::TextNelze},
    {"TextRemizaMrtvaPozice", &MessageTexts::TextRemizaMrtvaPozice},
    {"TextRemizaPateOpakovani", &MessageTexts::TextRemizaPateOpakovani},
    {"TextRemiza75Tahu", &MessageTexts::TextRemiza75Tahu},
    {"TextRemizaTretiOpakovani", &MessageTexts::TextRemizaTretiOpakovani},
    {"TextRemiza50Tahu", &MessageTexts::TextRemiza50Tahu},
    {"TextKonecRemizou", &MessageTexts::TextKonecRemizou},
    {"TextKonecPartie", &MessageTexts::TextKonecPartie},
    {"TextRemizaCtvrteOpakovani", &MessageTexts::TextRemizaCtvrteOpakovani},
    {"TextZrusitTahy", &MessageTexts::TextZrusitTahy},
    {"PismenoKral", &MessageTexts::PismenoKral},
    {"PismenoDama", &MessageTexts::PismenoDama},
    {"PismenoVez", &MessageTexts::PismenoVez},
    {"PismenoStrelec", &MessageTexts::PismenoStrelec},
    {"PismenoJezdec", &MessageTexts::PismenoJezdec},
};

}  // namespace

MessageTexts MessageTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Texty", MessageTextKeys);
}

chess::PieceLetters MessageTexts::PieceLetters() const
{
    return {{PismenoKral.toStdString(), PismenoDama.toStdString(), PismenoVez.toStdString(),
             PismenoStrelec.toStdString(), PismenoJezdec.toStdString()}};
}

const QString& MessageTexts::For(chess::Message message) const
{
    switch (message) {
    case chess::Message::Nelze:
        return TextNelze;
    case chess::Message::Sach:
        return TextSach;
    case chess::Message::MatBilyVyhral:
        return TextMATBilyVyhral;
    case chess::Message::MatCernyVyhral:
        return TextMATCernyVyhral;
    case chess::Message::RemizaMrtvaPozice:
        return TextRemizaMrtvaPozice;
    case chess::Message::RemizaPateOpakovani:
        return TextRemizaPateOpakovani;
    case chess::Message::Remiza75Tahu:
        return TextRemiza75Tahu;
    case chess::Message::KonecRemizou:
        return TextKonecRemizou;
    case chess::Message::KonecPartie:
        return TextKonecPartie;
    case chess::Message::Pat:
        break;
    }
    return TextPAT;
}

const QString& MessageTexts::For(chess::Question question) const
{
    switch (question) {
    case chess::Question::RemizaTretiOpakovani:
        return TextRemizaTretiOpakovani;
    case chess::Question::Remiza50Tahu:
        return TextRemiza50Tahu;
    case chess::Question::RemizaCtvrteOpakovani:
        return TextRemizaCtvrteOpakovani;
    case chess::Question::ZrusitPozdejsiTahy:
        return TextZrusitTahy;
    case chess::Question::NovaPartie:
        break;
    }
    return TextNovaPartie;
}
