#pragma once
// The program's questions with Yes and No, No being what Enter presses.

#include <QString>

class QWidget;

// Asks `text` in a box titled `title` over `owner`; the buttons speak the
// language of the file `languageName` even where Qt's own translation of
// them is not installed.
bool AskYesNoBox(QWidget* owner, const QString& title, const QString& text, const QString& languageName);
