#pragma once
// The choice of one game from a file of several: number, White, Black,
// result and the first moves of each (in the language's piece letters), read
// from the tags and the move text alone, so even a file of many thousand
// games lists at once.

#include "Notation.h"
#include "Pgn.h"

#include <QDialog>

#include <string_view>
#include <vector>

class QAbstractItemModel;
class QTableView;

struct GameListTexts {
    QString title, number, white, black, result, moves, ok, cancel;
    chess::PieceLetters letters;  // of the moves shown
};

class TGameList : public QDialog {
    Q_OBJECT
public:
    // The games `listing` found in `text`, which must outlive the dialog: a
    // row's first moves are read from the text when the row is shown.
    TGameList(std::string_view text, const std::vector<chess::PgnListing>& listing, const GameListTexts& texts,
              QWidget* parent);
    // A short list of rows given whole, under the given headers; of `texts`
    // only the title and the buttons are used.
    TGameList(const QStringList& headers, const std::vector<QStringList>& rows, const GameListTexts& texts,
              QWidget* parent);

    // The index of the game chosen, or -1 when the dialog was cancelled.
    int Choose();

    QTableView* Table() const { return table_; }

private:
    void Build(QAbstractItemModel* model, const GameListTexts& texts);

    QTableView* table_;
};
