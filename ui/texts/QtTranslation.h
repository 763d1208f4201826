#pragma once
// Qt's own texts (the standard buttons of message boxes, file dialogs, the
// context menus of text fields, key names such as "Ctrl" in menus) in the
// language the user chose, from the translations Qt ships (on Debian the
// package qt6-translations-l10n).

#include <QString>

// Where Qt's translations are installed.
QString QtTranslationsFolder();

// Switches Qt's texts to the language of a language file: "english" gives
// Qt's built-in English, "deutch" German, any other name (also none) the
// Czech of the program's built-in texts. Only Qt's base catalogue is
// loaded, mapped rather than read, so a switch costs little. Returns whether
// Qt now speaks that language: false when its translation is missing from
// `folder`, and Qt's texts are then English.
bool UseQtTranslation(const QString& languageName, const QString& folder = QtTranslationsFolder());

// Whether Qt's texts are in the language of this language file now.
bool QtSpeaks(const QString& languageName);
