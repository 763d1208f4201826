#include "QtTranslation.h"

#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

// Qt's name for the language of a language file; empty for English, which
// needs no translation. Without a language file of its own the program
// shows its built-in Czech texts, so Qt speaks Czech too.
QString QtLocaleOf(const QString& languageName)
{
    if (languageName == LanguageFileName(LanguageId::English))
        return {};
    if (languageName == LanguageFileName(LanguageId::German))
        return QStringLiteral("de");
    return QStringLiteral("cs");
}

// One translator for the whole application, owned by it.
QPointer<QTranslator> installed;
QString installedLocale;
QString installedFrom;

}  // namespace

QString QtTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool UseQtTranslation(const QString& languageName, const QString& folder)
{
    const QString locale = QtLocaleOf(languageName);
    // Installing or removing a translator makes Qt tell every widget that
    // the language changed, so the same choice again touches nothing.
    if (installed && locale == installedLocale && folder == installedFrom)
        return true;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installedLocale.clear();
    }
    if (locale.isEmpty())
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + locale, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    installedLocale = locale;
    installedFrom = folder;
    return true;
}

bool QtSpeaks(const QString& languageName)
{
    const QString locale = QtLocaleOf(languageName);
    return locale.isEmpty() || (installed && installedLocale == locale);
}
