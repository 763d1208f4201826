#include "YesNoBox.h"

#include "Language.h"
#include "QtTranslation.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <utility>

namespace {

// The answers in the language the question is asked in, for when Qt's own
// translation of its buttons is not installed.
std::pair<QString, QString> YesNoWords(const QString& languageName)
{
    if (languageName == LanguageFileName(LanguageId::German))
        return {QStringLiteral("&Ja"), QStringLiteral("&Nein")};
    return {QStringLiteral("&Ano"), QStringLiteral("&Ne")};
}

}  // namespace

bool AskYesNoBox(QWidget* owner, const QString& title, const QString& text, const QString& languageName)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    if (!QtSpeaks(languageName)) {
        const auto [yes, no] = YesNoWords(languageName);
        box.button(QMessageBox::Yes)->setText(yes);
        box.button(QMessageBox::No)->setText(no);
    }
    return box.exec() == QMessageBox::Yes;
}
