#pragma once
// The move list beside the board: the moves as numbered pairs in the current
// language's piece letters, the move that led to the position on the board
// marked, and how the game ended as its last line. Clicking a move asks for
// the position after it.

#include "History.h"
#include "Notation.h"

#include <QTableWidget>

#include <cstddef>

class TMoveList : public QTableWidget {
    Q_OBJECT
public:
    explicit TMoveList(QWidget* parent = nullptr);

    // Fills the list anew when the record, the letters or the ending (a line
    // after the moves, none when empty) have changed, and moves the mark to
    // the current half-move.
    void Show(const chess::History& history, const chess::PieceLetters& letters, const QString& ending = {});

    // The text of one cell, "" for none: for tests that read what is shown.
    QString Cell(int row, int column) const;

signals:
    // The position after `plies` half-moves was asked for.
    void chosen(std::size_t plies);

private:
    // Where half-move i stands: its row and column.
    QPoint PlaceOf(const chess::History& history, std::size_t i) const;
    // The ending's line as high as its text wrapped to the list's width.
    void FitEndingRow();

    std::size_t shownSize_ = 0;
    std::size_t shownCurrent_ = 0;
    std::vector<std::string> shownSans_;
    std::array<std::string, 5> shownLetters_;
    QString shownEnding_;
    bool filled_ = false;
    int firstMoveNumber_ = 1;
    bool startsWithBlack_ = false;
};
