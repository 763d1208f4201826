#pragma once
// The small dialogs of the game record: the comment after a move, and the
// details of the game that are saved in its tags.

#include "Pgn.h"

#include <QDialog>

#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TCommentDialog : public QDialog {
    Q_OBJECT
public:
    TCommentDialog(const QString& title, const QString& comment, const QString& ok, const QString& cancel,
                   QWidget* parent);

    // As typed; the record makes one blank of every run of blanks and line ends.
    QString Comment() const;
    QPlainTextEdit* Editor() const { return editor_; }

private:
    QPlainTextEdit* editor_;
};

struct GameTagsTexts {
    QString title, white, black, event, site, date, round, datePattern, ok, cancel;
};

class TGameTagsDialog : public QDialog {
    Q_OBJECT
public:
    TGameTagsDialog(const std::vector<chess::PgnTag>& tags, const GameTagsTexts& texts, QWidget* parent);

    // The tags with White, Black, Event, Site, Date and Round as edited (UTF-8).
    // A field left empty drops its tag, so that the saved game says "?" there
    // as PGN does for what is not known; the other tags stay as they were.
    std::vector<chess::PgnTag> Tags() const;

    // The field of a tag, by the tag's name ("White"), for tests.
    QLineEdit* Field(const QString& tag) const;

private:
    void CheckDate();

    std::vector<chess::PgnTag> tags_;
    QString givenDate_;
    QLineEdit* date_ = nullptr;
    QPushButton* ok_ = nullptr;
};
